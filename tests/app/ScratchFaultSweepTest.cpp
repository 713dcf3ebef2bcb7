#include "app/Commands.h"
#include "app/ModelSelection.h"
#include "app/Regression.h"
#include "support/FailingFileOperations.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace quantem::app {
namespace {

    using test::FailingFileOperations;
    using Call = FailingFileOperations::Call;
    using Files = std::map<std::string, std::string>;

    // Eight groups with non-integer values, enough for every model below.
    constexpr const char* kSamples
        = "0.387,0.241\r\n0.723,0.615\r\n1,1\r\n1.524,1.881\r\n5.203,11.862\r\n"
          "9.537,29.457\r\n19.191,84.011\r\n30.069,164.79\r\n";

    /// One command of those that write scratch files, on one model.
    struct Command
    {
        const char* name;
        core::ModelId model;
        bool regression; // false: the model's selection
    };

    std::ostream& operator<<(std::ostream& out, const Command& command)
    {
        return out << command.name;
    }

    // The element count of the linear family, typed where the power models take their start.
    void typeCounts(core::Session& session, core::ModelId model, const std::string& samples)
    {
        setSampleCountText(session, samples);
        session.form1.Text4 = model == core::kPolynomialModel ? "2" : model == 51 ? "1" : "1";
    }

    // Brings a session to where the command starts, with every file it writes holding bytes of
    // an earlier run (so "old bytes" and "new bytes" differ): a regression follows a fit of the
    // same model on fewer groups; a selection follows a fit of another model.
    void prepare(core::Session& session, const Command& command)
    {
        runCommand(session, [&] { startUpReset(session); });
        const core::ModelId earlier
            = command.regression ? command.model : (command.model == 7 ? 52 : 7);
        runCommand(session, [&] { selectModel(session, earlier); });
        typeCounts(session, earlier, "6");
        runCommand(session, [&] { regressionCommand(session, Route::Menu); });
        if (command.regression)
            typeCounts(session, command.model, "8");
    }

    void run(core::Session& session, const Command& command)
    {
        runCommand(session, [&] {
            if (command.regression)
                regressionCommand(session, Route::Menu);
            else
                selectModel(session, command.model);
        });
    }

    Files filesIn(const std::filesystem::path& folder)
    {
        Files files;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            files[entry.path().filename().string()]
                = std::string(std::istreambuf_iterator<char>(in), {});
        }
        return files;
    }

    /// What a session shows after a command: its values, state line, report and notice (with
    /// its root written "<root>", so sessions on different roots compare).
    std::map<std::string, std::string> shown(const core::Session& session)
    {
        std::string notice = session.form1.StatusBar1[0];
        const std::string root = session.store.root().string();
        if (const std::size_t at = notice.find(root); at != std::string::npos)
            notice.replace(at, root.size(), "<root>");
        std::map<std::string, std::string> texts;
        for (int number : { 2, 3, 4, 5, 6, 7, 8, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22 })
            texts["Label" + std::to_string(number)] = session.form1.label(number);
        texts["Label10"] = session.form1.Label10;
        texts["Text5"] = session.form1.Text5;
        texts["panel 1"] = notice;
        return texts;
    }

    void expectSameTexts(const std::map<std::string, std::string>& actual,
        const std::map<std::string, std::string>& expected)
    {
        for (const auto& [name, text] : expected)
            EXPECT_EQ(actual.at(name), text) << name;
    }

    /// A root and a session over file operations that fail where the test says.
    struct Rig
    {
        test::TempRoot root;
        FailingFileOperations operations;
        core::Session session { core::ScratchStore(
            root.path(), std::make_shared<core::FileStoreBackend>(root.path(), operations)) };

        explicit Rig(const Command& command)
        {
            root.writeSamples(kSamples);
            prepare(session, command);
        }
    };

    int errorOf(Call call)
    {
        switch (call) {
        case Call::Create:
            return EDQUOT;
        case Call::Write:
            return ENOSPC;
        case Call::Flush:
            return EIO;
        case Call::Close:
            return EIO;
        case Call::Rename:
            return EROFS;
        }
        return EIO;
    }

    class ScratchFaultSweep : public ::testing::TestWithParam<std::tuple<Command, Call>>
    {
    };

    TEST_P(ScratchFaultSweep, EveryFileFailingAtEveryStepLeavesWholeFilesAndANamedCause)
    {
        const auto& [command, call] = GetParam();

        // The files the command writes, and what a run without a failure leaves and shows.
        Rig clean(command);
        const std::size_t logged = clean.operations.log().size();
        run(clean.session, command);
        // Each file in the order first written, with how often the command writes it.
        std::vector<std::pair<std::string, int>> written;
        for (std::size_t i = logged; i < clean.operations.log().size(); ++i) {
            const auto& entry = clean.operations.log()[i];
            if (entry.call != Call::Rename)
                continue;
            const std::string name = entry.file.filename().string();
            const auto seen = std::find_if(written.begin(), written.end(),
                [&](const auto& file) { return file.first == name; });
            if (seen == written.end())
                written.emplace_back(name, 1);
            else
                ++seen->second;
        }
        const std::set<std::string> expectedAmong = command.regression
            ? std::set<std::string> { "da.sys", "wcqk.sys", "mm.sys", "r1.sys" }
            : std::set<std::string> { "mb.sys", "xx.sys" };
        for (const std::string& name : expectedAmong)
            EXPECT_TRUE(std::any_of(written.begin(), written.end(), [&](const auto& file) {
                return file.first == name;
            })) << name;
        const Files cleanFiles = filesIn(clean.root.path() / "sys");
        const std::map<std::string, std::string> cleanShown = shown(clean.session);

        const int error = errorOf(call);
        // The first write of every file, and the last of a file written again and again (the
        // search's files, between two evaluations).
        std::vector<std::pair<std::string, int>> failures;
        for (const auto& [name, count] : written) {
            failures.emplace_back(name, 1);
            if (count > 1)
                failures.emplace_back(name, count);
        }
        for (const auto& [name, nth] : failures) {
            SCOPED_TRACE(name + " write " + std::to_string(nth));
            Rig rig(command);
            const Files before = filesIn(rig.root.path() / "sys");
            const std::size_t start = rig.operations.log().size();
            rig.operations.failAtFile(call, name, nth, error);
            EXPECT_NO_THROW(run(rig.session, command));
            bool failed = false;
            for (std::size_t i = start; i < rig.operations.log().size(); ++i)
                failed = failed || rig.operations.log()[i].failed;
            ASSERT_TRUE(failed) << "no " << callName(call) << " of " << name << " failed";

            // The cause names the file and the system's reason.
            EXPECT_EQ(
                rig.session.form1.StatusBar1[0].rfind(
                    "Cannot write " + rig.root.sys(name).string() + ": " + std::strerror(error), 0),
                0U)
                << rig.session.form1.StatusBar1[0];

            // Every file is its old bytes or bytes a write offered whole; no temporary file.
            const Files after = filesIn(rig.root.path() / "sys");
            for (const auto& [file, bytes] : after) {
                const auto old = before.find(file);
                const bool unchanged = old != before.end() && old->second == bytes;
                const auto offered = rig.operations.offered().find(file);
                const bool whole = offered != rig.operations.offered().end()
                    && std::find(offered->second.begin(), offered->second.end(), bytes)
                        != offered->second.end();
                EXPECT_TRUE(unchanged || whole) << file << " holds \"" << bytes << "\"";
            }
            for (const auto& [file, bytes] : before)
                EXPECT_TRUE(after.contains(file)) << file << " went missing";
            EXPECT_TRUE(test::temporaryFilesIn(rig.root.path() / "sys").empty());
            EXPECT_TRUE(test::temporaryFilesIn(rig.root.path()).empty());

            // The session takes the next command: the same one again shows what a clean run
            // shows and writes what it writes. (A file it leaves alone keeps its whole bytes: a
            // fit no better than the one recorded in JC.sys does not rewrite xs.sys.)
            rig.operations.failAt(call, 0);
            const std::size_t again = rig.operations.log().size();
            EXPECT_NO_THROW(run(rig.session, command));
            expectSameTexts(shown(rig.session), cleanShown);
            const Files recovered = filesIn(rig.root.path() / "sys");
            for (std::size_t i = again; i < rig.operations.log().size(); ++i) {
                const auto& entry = rig.operations.log()[i];
                const std::string file = entry.file.filename().string();
                if (entry.call == Call::Rename && cleanFiles.contains(file)) {
                    EXPECT_EQ(recovered.at(file), cleanFiles.at(file)) << file;
                }
            }
        }
    }

    // clang-format off
    const Command kCommands[] = {
        { "Select7", 7, false },   { "Regress7", 7, true },
        { "Select51", 51, false }, { "Regress51", 51, true },
        { "Select52", 52, false }, { "Regress52", 52, true },
        { "Select4", 4, false },   { "Regress4", 4, true },
    };
    // clang-format on

    INSTANTIATE_TEST_SUITE_P(Commands, ScratchFaultSweep,
        ::testing::Combine(::testing::ValuesIn(kCommands),
            ::testing::Values(Call::Create, Call::Write, Call::Flush, Call::Close, Call::Rename)),
        [](const ::testing::TestParamInfo<std::tuple<Command, Call>>& param) {
            return std::string(std::get<0>(param.param).name) + "_"
                + callName(std::get<1>(param.param));
        });

} // namespace
} // namespace quantem::app
