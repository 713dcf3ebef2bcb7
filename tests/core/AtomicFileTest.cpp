#include "core/AtomicFile.h"

#include "core/Fault.h"
#include "core/ScratchStore.h"
#include "support/Expect.h"
#include "support/FailingFileOperations.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

namespace quantem::core {
namespace {

    using test::FailingFileOperations;
    using Call = FailingFileOperations::Call;

    std::string faultText(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const Fault& fault) {
            return fault.what();
        }
        return "<no fault>";
    }

    TEST(AtomicFile, NothingIsWrittenThroughAPlantedLink)
    {
        test::TempRoot root;
        root.writeFile("victim.txt", "precious\n");
        const std::filesystem::path victim = root.path() / "victim.txt";
        // A link at the name the old rewrite used, and one at the file itself.
        std::filesystem::create_symlink(victim, root.sys("da.sys.part"));
        std::filesystem::create_symlink(victim, root.sys("xx.sys"));
        ScratchStore store(root.path());
        store.writeRecord(ScratchFile::Da, { 1.0 });
        store.writeRecord(ScratchFile::Xx, { 1.0, 1.0, 1.0, 7.0 });
        EXPECT_EQ(root.read("victim.txt"), "precious\n");
        EXPECT_EQ(root.readSys("da.sys"), "1\r\n");
        EXPECT_EQ(root.readSys("xx.sys"), "1,1,1,7\r\n");
        EXPECT_FALSE(std::filesystem::is_symlink(root.sys("xx.sys")));

        // The creating call itself refuses a name that holds a link, even one to nowhere.
        for (const std::filesystem::path& target : { victim, root.path() / "nowhere" }) {
            const std::filesystem::path planted = root.sys(".planted.tmp-AAAAAA");
            std::filesystem::remove(planted);
            std::filesystem::create_symlink(target, planted);
            int file = -1;
            EXPECT_EQ(systemFileOperations().create(planted, file), std::errc::file_exists);
            EXPECT_EQ(file, -1);
        }
        EXPECT_EQ(root.read("victim.txt"), "precious\n");
        EXPECT_FALSE(std::filesystem::exists(root.path() / "nowhere"));
    }

    TEST(AtomicFile, EveryFailedStepKeepsTheGoodFileAndLeavesNoTemporaryFile)
    {
        test::TempRoot root;
        const std::filesystem::path target = root.sys("culi.sys");
        root.writeFile("sys/culi.sys", "0,0,0,0\r\n");
        const std::string replacement = "0.25,-1.5,3.125,7\r\n";
        for (Call call : { Call::Create, Call::Write, Call::Flush, Call::Close, Call::Rename }) {
            FailingFileOperations operations;
            operations.failAt(call, 1, ENOSPC);
            EXPECT_EQ(faultText([&] { writeFileAtomically(target, replacement, operations); }),
                "Cannot write " + target.string() + ": " + std::strerror(ENOSPC))
                << callName(call);
            EXPECT_EQ(root.readSys("culi.sys"), "0,0,0,0\r\n") << callName(call);
            EXPECT_TRUE(test::temporaryFilesIn(root.path() / "sys").empty()) << callName(call);
        }
        // The steps come in the order that makes the rename the only moment of change.
        FailingFileOperations operations;
        writeFileAtomically(target, replacement, operations);
        std::vector<Call> calls;
        for (const auto& logged : operations.log())
            calls.push_back(logged.call);
        EXPECT_EQ(calls,
            (std::vector<Call> {
                Call::Create, Call::Write, Call::Flush, Call::Close, Call::Rename }));
        EXPECT_EQ(root.readSys("culi.sys"), replacement);
        EXPECT_TRUE(test::temporaryFilesIn(root.path() / "sys").empty());
    }

    TEST(AtomicFile, TemporaryNamesAreFreshAndTaken)
    {
        test::TempRoot root;
        FailingFileOperations operations;
        std::set<std::string> names;
        for (int i = 0; i < 20; ++i)
            writeFileAtomically(root.sys("rr.sys"), std::to_string(i) + "\r\n", operations);
        for (const auto& logged : operations.log()) {
            if (logged.call != Call::Create)
                continue;
            const std::string name = logged.file.filename().string();
            EXPECT_TRUE(isTemporaryFileOf(name, "rr.sys")) << name;
            names.insert(name);
        }
        EXPECT_EQ(names.size(), 20U);

        // A name that someone holds is passed over for another.
        FailingFileOperations busy;
        busy.failAt(Call::Create, 1, EEXIST);
        writeFileAtomically(root.sys("rr.sys"), "7\r\n", busy);
        EXPECT_EQ(root.readSys("rr.sys"), "7\r\n");

        EXPECT_TRUE(isTemporaryFileOf(".xx.sys.tmp-a1B2c3", "xx.sys"));
        EXPECT_FALSE(isTemporaryFileOf(".xx.sys.tmp-a1B2c", "xx.sys"));
        EXPECT_FALSE(isTemporaryFileOf(".xx.sys.tmp-a1B2c3d", "xx.sys"));
        EXPECT_FALSE(isTemporaryFileOf(".xx.sys.tmp-a1B.c3", "xx.sys"));
        EXPECT_FALSE(isTemporaryFileOf("xx.sys.tmp-a1B2c3", "xx.sys"));
        EXPECT_FALSE(isTemporaryFileOf(".mb.sys.tmp-a1B2c3", "xx.sys"));
        EXPECT_FALSE(isTemporaryFileOf(".xx.sys.part", "xx.sys"));
    }

    TEST(AtomicFile, TemporaryFilesOfAnEndedRunGoAtTheFirstWrite)
    {
        test::TempRoot root;
        root.writeFile("sys/.xx.sys.tmp-Q7v2Lm", "1,1");
        root.writeFile("sys/.JC.sys.tmp-000000", "");
        root.writeFile(".data.qtm.tmp-zZ9yY8", "1.5,2\r\n3");
        // Not ours: other names, other lengths, a folder, and a link whose target stays.
        root.writeFile("sys/.notes.tmp-ABCDEF", "mine");
        root.writeFile("sys/.xx.sys.tmp-ABC", "mine");
        root.writeFile("sys/xx.sys.part", "mine");
        root.writeFile("victim.txt", "precious\n");
        std::filesystem::create_directory(root.sys(".mb.sys.tmp-ABCDEF"));
        std::filesystem::create_symlink(root.path() / "victim.txt", root.sys(".rr.sys.tmp-LINK00"));

        ScratchStore store(root.path());
        EXPECT_EQ(test::temporaryFilesIn(root.path() / "sys").size(), 7U); // reading sweeps nothing
        store.exists(ScratchFile::Xx);
        EXPECT_EQ(test::temporaryFilesIn(root.path() / "sys").size(), 7U);
        store.writeRecord(ScratchFile::Da, { 1.0 });

        std::vector<std::string> left = test::temporaryFilesIn(root.path() / "sys");
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left,
            (std::vector<std::string> {
                ".mb.sys.tmp-ABCDEF", ".notes.tmp-ABCDEF", ".xx.sys.tmp-ABC", "xx.sys.part" }));
        EXPECT_TRUE(test::temporaryFilesIn(root.path()).empty());
        EXPECT_EQ(root.read("victim.txt"), "precious\n");
        EXPECT_EQ(root.readSys("da.sys"), "1\r\n");
    }

    TEST(ScratchStore, FailedWritesAreKeptOncePerFileWithTheirReason)
    {
        test::TempRoot root;
        FailingFileOperations operations;
        ScratchStore store(
            root.path(), std::make_shared<FileStoreBackend>(root.path(), operations));
        EXPECT_EQ(store.writeFailureCount(), 0U);
        store.writeRecord(ScratchFile::R1, { 0.0 });

        operations.failAt(Call::Rename, 1, EROFS);
        EXPECT_EQ(test::faultOf([&] { store.writeRecord(ScratchFile::R1, { 2.5 }); }), 75);
        const std::size_t mark = store.writeFailureCount();
        EXPECT_EQ(mark, 1U);
        ASSERT_EQ(store.writeFailuresSince(0).size(), 1U);
        EXPECT_EQ(store.writeFailuresSince(0)[0].file, ScratchFile::R1);
        EXPECT_EQ(store.writeFailuresSince(0)[0].reason,
            "Cannot write " + root.sys("r1.sys").string() + ": " + std::strerror(EROFS));
        EXPECT_TRUE(store.writeFailuresSince(mark).empty());
        EXPECT_EQ(root.readSys("r1.sys"), "0\r\n");

        // The same failure again and again, then another file through a copy of the store: both
        // belong to what came after the mark, each once.
        for (int i = 0; i < 3; ++i) {
            operations.failAt(Call::Rename, 1, EROFS);
            EXPECT_EQ(test::faultOf([&] { store.writeRecord(ScratchFile::R1, { 2.5 }); }), 75);
        }
        ScratchStore copy = store;
        operations.failAt(Call::Write, 1, ENOSPC);
        EXPECT_EQ(test::faultOf([&] { copy.writeRecord(ScratchFile::Rr, { 1.0, 2.0 }); }), 75);
        const std::vector<WriteFailure> since = store.writeFailuresSince(mark);
        ASSERT_EQ(since.size(), 2U);
        EXPECT_EQ(since[0].file, ScratchFile::R1);
        EXPECT_EQ(since[1].file, ScratchFile::Rr);
        EXPECT_NE(since[1].reason.find(std::strerror(ENOSPC)), std::string::npos);
        EXPECT_EQ(store.writeFailureCount(), 5U);
    }

} // namespace
} // namespace quantem::core
