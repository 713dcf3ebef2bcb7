#include "app/Commands.h"
#include "app/ModelSelection.h"
#include "app/Regression.h"
#include "core/ScratchStore.h"
#include "core/StopSwitch.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>

namespace quantem::app {
namespace {

    // Counts evaluations and asks the switch in front of it to stop at the n-th one; the run
    // must then end at the next.
    struct StopAtCall : core::ProgressHook
    {
        void progress(const core::Form1&) override
        {
            if (++calls == stopAt && target != nullptr)
                target->request();
        }
        core::StopSwitch* target = nullptr;
        int stopAt = 0;
        int calls = 0;
    };

    struct StopRunTest : ::testing::Test
    {
        test::TempRoot root;
        core::Session session { root.path() };
        StopAtCall counter;
        core::StopSwitch stop { &counter };

        StopRunTest()
        {
            counter.target = &stop;
            session.progress = &stop;
        }

        void choose(core::ModelId model, const std::string& samples, const std::string& text4)
        {
            runCommand(session, [&] { startUpReset(session); });
            runCommand(session, [&] { selectModel(session, model); });
            runCommand(session, [&] { setSampleCountText(session, samples); });
            session.form1.Text4 = text4;
        }

        void regress()
        {
            runCommand(session, [&] { regressionCommand(session, Route::Menu); });
        }

        // Every scratch file ends with a whole line and none but the named files is there.
        void expectScratchFilesWhole() const
        {
            std::set<std::string> known;
            for (int file = 0; file < static_cast<int>(core::ScratchFile::Data); ++file)
                known.insert(core::scratchFileName(static_cast<core::ScratchFile>(file)));
            for (const auto& entry : std::filesystem::directory_iterator(root.path() / "sys")) {
                const std::string name = entry.path().filename().string();
                EXPECT_TRUE(known.count(name)) << "stray file " << name;
                const std::string bytes = root.readSys(name);
                ASSERT_GE(bytes.size(), 3u) << name;
                EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << name;
            }
        }

        bool published() const
        {
            const core::Form1& form = session.form1;
            return form.Label2.find_first_not_of(' ') != std::string::npos
                || form.Label17.find_first_not_of(' ') != std::string::npos || !form.Text5.empty();
        }
    };

    const char* const kSamples = "0.37,1.913\r\n1.21,2.478\r\n1.94,3.016\r\n2.66,3.391\r\n"
                                 "3.05,3.722\r\n4.48,4.405\r\n5.13,4.809\r\n6.92,5.517\r\n";

    TEST_F(StopRunTest, StoppedSearchEndsAtOnceTellsStoppedAndPublishesNothing)
    {
        root.writeSamples(kSamples);
        choose(7, "8", "2.5");
        counter.stopAt = 5;
        regress();
        EXPECT_EQ(counter.calls, 5); // no evaluation after the one that saw the request
        EXPECT_EQ(session.form1.StatusBar1[0], core::kStoppedText);
        EXPECT_TRUE(session.messages.log().empty());
        EXPECT_FALSE(published());
        expectScratchFilesWhole();

        // The next command clears the notice; with the switch reset the same fit publishes.
        stop.reset();
        counter.stopAt = 0;
        counter.calls = 0;
        regress();
        EXPECT_EQ(session.form1.StatusBar1[0], "");
        EXPECT_GT(counter.calls, 5);
        EXPECT_TRUE(published());
        EXPECT_TRUE(session.messages.log().empty());
        expectScratchFilesWhole();
    }

    TEST_F(StopRunTest, AStopLeavesTheCriterionFilesOfTheLastEvaluation)
    {
        // Stopped after evaluation 4 and, afresh, after evaluation 5: r1.sys holds each run's
        // last criterion and rr.sys of the second run the change between the two, as if every
        // evaluation had written its files.
        root.writeSamples(kSamples);
        const auto stoppedAfter = [&](int evaluations) {
            choose(7, "8", "2.5");
            stop.reset();
            counter.calls = 0;
            counter.stopAt = evaluations;
            regress();
            EXPECT_EQ(session.form1.StatusBar1[0], core::kStoppedText);
            EXPECT_EQ(counter.calls, evaluations);
            return std::pair { session.store.readNumbers(core::ScratchFile::R1, 1)[0],
                session.store.readNumbers(core::ScratchFile::Rr, 4) };
        };
        const auto [criterion4, step4] = stoppedAfter(4);
        const auto [criterion5, step5] = stoppedAfter(5);
        EXPECT_NE(criterion4, criterion5);
        EXPECT_EQ(step5[0], criterion5 - criterion4);
        EXPECT_EQ(step4[2], criterion4); // F of the last step, here positive
        EXPECT_EQ(step5[2], criterion5);
        expectScratchFilesWhole();
    }

    TEST_F(StopRunTest, StopBeforeTheLinearSolveLeavesTheOldCoefficients)
    {
        root.writeSamples("1.5,2.25,0.3\r\n2.75,3.1,1.05\r\n3.2,4.65,0.4\r\n4.8,5.05,2.2\r\n"
                          "5.35,6.9,1.15\r\n");
        choose(51, "5", "2");
        root.writeFile("sys/hgb.sys", "7.5\r\n");
        stop.request(); // the linear fit calls the hook once, after the data pass
        regress();
        EXPECT_EQ(counter.calls, 0);
        EXPECT_EQ(session.form1.StatusBar1[0], core::kStoppedText);
        EXPECT_FALSE(published());
        EXPECT_EQ(root.readSys("hgb.sys"), "7.5\r\n");
        expectScratchFilesWhole();
    }

    TEST(StopSwitch, PassesProgressOnUntilAskedAndIsNoFaultOrStdException)
    {
        StopAtCall counter;
        core::StopSwitch stop(&counter);
        core::Form1 form;
        stop.progress(form);
        stop.progress(form);
        EXPECT_EQ(counter.calls, 2);
        stop.request();
        // An engine's fault trap (core::Fault, std::exception) must not swallow a stop.
        bool caughtAsStop = false;
        try {
            try {
                stop.progress(form);
            } catch (const std::exception&) {
                ADD_FAILURE() << "a stop was caught as an exception of the runtime";
            }
        } catch (const core::RunStopped&) {
            caughtAsStop = true;
        }
        EXPECT_TRUE(caughtAsStop);
        EXPECT_EQ(counter.calls, 2);
        stop.reset();
        stop.progress(form);
        EXPECT_EQ(counter.calls, 3);
    }

} // namespace
} // namespace quantem::app
