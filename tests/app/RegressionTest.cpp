#include "app/Regression.h"

#include "app/Commands.h"
#include "app/ModelSelection.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

namespace quantem::app {
namespace {

    using core::MessageWindowId;

    struct RegressionTest : ::testing::Test
    {
        test::TempRoot root;
        core::Session session { root.path() };

        void choose(core::ModelId model, const std::string& samples)
        {
            selectModel(session, model);
            setSampleCountText(session, samples);
        }

        std::vector<std::string> dialogTexts() const
        {
            std::vector<std::string> texts;
            for (const core::Showing& showing : session.messages.log())
                texts.push_back(
                    std::string(core::messageWindowName(showing.window)) + ":" + showing.text);
            return texts;
        }
    };

    using Texts = std::vector<std::string>;

    TEST_F(RegressionTest, CommandWritesItsFilesEvenWhenTheRunIsRefused)
    {
        choose(7, "2");
        regressionCommand(session, Route::Menu);
        EXPECT_EQ(root.readSys("da.sys"), "1\r\n");
        EXPECT_EQ(root.readSys("wcqk.sys"), "0,0,0,0\r\n");
        EXPECT_EQ(root.readSys("mm.sys"), "2\r\n");
        EXPECT_EQ(root.readSys("r1.sys"), "0\r\n");
        EXPECT_EQ(session.form1.Label10, "Regress analysis, wait !");
        // n = 2 is refused before the sample file is opened: no data.qtm, yet no "Have no data !".
        EXPECT_EQ(dialogTexts(), Texts { "Form5:   Input error !" });
    }

    TEST_F(RegressionTest, ToolbarRouteLeavesWcqkAlone)
    {
        choose(7, "2");
        regressionCommand(session, Route::Toolbar);
        EXPECT_EQ(root.readSys("wcqk.sys"), "<missing>");
    }

    TEST_F(RegressionTest, MissingSampleFileHasNoData)
    {
        choose(7, "5");
        regressionCommand(session, Route::Menu);
        EXPECT_EQ(dialogTexts(), Texts { "Form5:Have no data !" });
    }

    TEST_F(RegressionTest, SampleChecksRefuseBadFiles)
    {
        struct Case
        {
            core::ModelId model;
            std::string samples;
            std::string file;
            const char* why;
        };
        const Case cases[] = {
            { 1, "3", "1,5\r\n2,5\r\n3,5\r\n", "constant y" },
            { 1, "3", "2,1\r\n2,2\r\n2,4\r\n", "constant x" },
            { 16, "3", "1,7,2\r\n2,7,3\r\n3,7,5\r\n4,8,6\r\n", "x2 constant in the groups read" },
            { 7, "4", "1,2\r\n2,3\r\n3,5\r\n", "fewer groups than n" },
            { 7, "3", "1,2\r\n2,x\r\n3,5\r\n", "a non-numeric item" },
            { 7, "3", "1,2\r\n2,1e999\r\n3,5\r\n", "a number beyond the double range" },
            { 7, "10.5", "1,2\r\n2,3\r\n3,5\r\n", "a sample count that is not whole" },
            { 7, "0", "1,2\r\n2,3\r\n3,5\r\n", "no sample count" },
            { 7, "40000", "1,2\r\n2,3\r\n3,5\r\n", "a count beyond the 16-bit range" },
        };
        for (const Case& c : cases) {
            core::Session fresh(root.path());
            session = std::move(fresh);
            root.writeSamples(c.file);
            choose(c.model, c.samples);
            regressionCommand(session, Route::Menu);
            EXPECT_EQ(dialogTexts(), Texts { "Form5:   Input error !" }) << c.why;
            EXPECT_EQ(root.readSys("rr.sys"), "<missing>") << c.why;
        }
    }

    TEST_F(RegressionTest, NumbersAfterTheGroupsReadAreNeverLookedAt)
    {
        root.writeSamples("1,2.5\r\n2,4.5\r\n3,6.5\r\nabc,zz\r\n");
        choose(1, "3");
        regressionCommand(session, Route::Menu);
        EXPECT_TRUE(dialogTexts().empty());
        EXPECT_EQ(session.form1.Label3, "2"); // y = 0.5 + 2·x, found by the power engine
    }

    TEST_F(RegressionTest, NoModelChosenIsAnInputError)
    {
        root.writeSamples("1,2\r\n2,3\r\n3,5\r\n");
        root.writeFile("sys/xx.sys", "0,0,0,0\r\n");
        session.form1.Text2 = "3";
        session.form1.Text3 = "1";
        regressionCommand(session, Route::Menu);
        EXPECT_EQ(dialogTexts(), Texts { "Form5:   Input error !" });
    }

    TEST_F(RegressionTest, LinearFamilySkipsTheSampleChecks)
    {
        // x constant: refused under model 1, but model 51 goes straight to its engine.
        root.writeSamples("2,1\r\n2,2\r\n2,4\r\n");
        choose(51, "3");
        session.form1.Text4 = "1";
        regressionCommand(session, Route::Menu);
        EXPECT_EQ(session.form1.Text3, "1"); // copied from Text4 for the linear family
        EXPECT_EQ(root.readSys("hgb.sys"), "0\r\n1.1666666666666667\r\n");
        EXPECT_TRUE(dialogTexts().empty());
    }

    TEST_F(RegressionTest, RefusalsSayWhyInStatusPanelOne)
    {
        // No model chosen since start-up: the counts pass, the menus are pointed to.
        startUpReset(session);
        setSampleCountText(session, "5");
        session.form1.Text3 = "1";
        root.writeSamples("1,2\r\n2,3\r\n3,5\r\n4,4\r\n5,7\r\n");
        runCommand(session, [&] { regressionCommand(session, Route::Menu); });
        const std::string noModel = session.form1.StatusBar1[0];
        EXPECT_NE(noModel.find("No model has been chosen"), std::string::npos) << noModel;
        EXPECT_NE(noModel.find("TwoDimensionsNonline"), std::string::npos) << noModel;
        ASSERT_EQ(session.messages.log().size(), 1u);
        EXPECT_EQ(session.messages.log()[0].text, "   Input error !");
        EXPECT_EQ(session.messages.log()[0].reason, noModel);

        // A power model on as many groups as it has coefficients (y = a0 + a1 * x1 ^ k1: two).
        choose(7, "2");
        runCommand(session, [&] { regressionCommand(session, Route::Menu); });
        EXPECT_NE(session.form1.StatusBar1[0].find("from 3 to 32767"), std::string::npos);
        choose(10, "3"); // y = a0 + a1 * x1 ^ k1 + a2 * x1 ^ k2: three coefficients
        runCommand(session, [&] { regressionCommand(session, Route::Menu); });
        EXPECT_EQ(session.form1.StatusBar1[0],
            "No degree of freedom is left: the sample count (InputSampleCapacity) must be more "
            "than the model's 3 coefficients.");
        EXPECT_EQ(session.messages.log().size(), 3u);

        // The next command starts without the notice.
        runCommand(session, [&] { setSampleCountText(session, "4"); });
        EXPECT_EQ(session.form1.StatusBar1[0], "");
    }

} // namespace
} // namespace quantem::app
