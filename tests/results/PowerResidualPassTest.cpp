#include "results/PowerResidualPass.h"

#include "core/NumberText.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace quantem::results {
namespace {

    class PowerResidualPassTest : public ::testing::Test
    {
    protected:
        quantem::test::TempRoot root;
        core::Session session { root.path() };

        /// Model 1 fitted as y = 1 + 2·x1, reported against a reset best mean error.
        void SetUp() override
        {
            root.writeFile("sys/xx.sys", "1,1,0,1\r\n");
            root.writeFile("sys/mb.sys", "0\r\n");
            root.writeFile("sys/culi.sys", "0,0,0,0\r\n");
            root.writeFile("sys/JC.sys", "1E+19\r\n");
            root.writeFile("sys/XB.sys", "1,2\r\n0.5,2,1\r\n");
            session.form1.Text1 = "1";
            session.form1.Text2 = "4";
        }

        void pass(core::ModelId model = 1) { powerResidualPass(session, model); }

        const core::Form1& form() const { return session.form1; }
    };

    TEST_F(PowerResidualPassTest, ErrorsAreTakenAgainstTheModelValue)
    {
        // Fitted values 3, 5, 7, 9; errors 0.5, -1, 0.25, 0.
        root.writeSamples("1,3.5\r\n2,4\r\n3,7.25\r\n4,9\r\n5,100\r\n");
        pass();
        EXPECT_EQ(form().Label20, "1");
        EXPECT_EQ(form().Label21, "0.4375");
        EXPECT_EQ(form().Label22, core::doubleText((0.5 / 3 + 1.0 / 5 + 0.25 / 7 + 0) / 4));
        EXPECT_EQ(form().Frame1, "Return to model of overview report ");
        EXPECT_EQ(root.readSys("JC.sys"), "0.4375\r\n"); // reported: better than the reset value
        EXPECT_NE(form().Text5.find("                  Equal error:0.4375"), std::string::npos);
    }

    TEST_F(PowerResidualPassTest, OffsetsAreAddedToEveryColumnBeforeEvaluating)
    {
        // Shifted back by 0.5 in x and 1.25 in y, the data are those of the first test.
        root.writeFile("sys/culi.sys", "0.5,1.25,0,0\r\n");
        root.writeSamples("0.5,2.25\r\n1.5,2.75\r\n2.5,6\r\n3.5,7.75\r\n");
        pass();
        EXPECT_EQ(form().Label20, "1");
        EXPECT_EQ(form().Label21, "0.4375");

        // Three numbers: x1, x2 then y, each with its own offset (model 2: y = 1 + 2·x1 + 3·x2).
        root.writeFile("sys/xx.sys", "2,2,0,2\r\n");
        root.writeFile("sys/XB.sys", "1,2,3\r\n0.5,2,1\r\n");
        root.writeFile("sys/culi.sys", "1,2,-1,0\r\n");
        root.writeSamples("0,0,9\r\n1,1,15.5\r\n");
        session.form1.Text2 = "2";
        session.form1.Text1 = "2";
        pass(2);
        EXPECT_EQ(form().Label20, "1"); // fitted 9 and 14 against 8 and 14.5
        EXPECT_EQ(form().Label21, "0.75");
    }

    TEST_F(PowerResidualPassTest, AFaultEndsThePassButTheSumsSoFarAreDividedByN)
    {
        // Model 8, y = 1 + 2·Log(x1): the third group's Log(0) ends the pass.
        root.writeFile("sys/xx.sys", "1,1,0,8\r\n");
        root.writeSamples("1,1.5\r\n1,0.5\r\n0,3\r\n1,4\r\n");
        pass(8);
        EXPECT_EQ(form().Label20, "0.5");
        EXPECT_EQ(form().Label21, "0.25"); // (0.5 + 0.5) / 4
        EXPECT_EQ(form().Label22, "0.25");
        EXPECT_EQ(form().Frame1, "Return to model of overview report ");

        // A fitted value of exactly 0 makes the relative error a division by zero at that group.
        root.writeFile("sys/xx.sys", "1,1,0,1\r\n");
        root.writeFile("sys/XB.sys", "-2,2\r\n0.5,2,1\r\n");
        root.writeSamples("2,2.5\r\n1,0.5\r\n3,4\r\n4,6\r\n");
        pass(1);
        EXPECT_EQ(form().Label20, "0.5");
        EXPECT_EQ(form().Label21, "0.125");

        // A file shorter than n groups ends the same way.
        root.writeFile("sys/XB.sys", "1,2\r\n0.5,2,1\r\n");
        root.writeSamples("1,3.5\r\n2,4\r\n");
        pass(1);
        EXPECT_EQ(form().Label20, "1");
        EXPECT_EQ(form().Label21, "0.375");
    }

    TEST_F(PowerResidualPassTest, MissingSamplesShowHaveNoDataAndZeroStatistics)
    {
        session.form1.Label20 = "7";
        pass();
        ASSERT_EQ(session.messages.log().size(), 1u);
        EXPECT_EQ(session.messages.log()[0].window, core::MessageWindowId::Form5);
        EXPECT_EQ(session.messages.log()[0].text, "Have no data !");
        EXPECT_EQ(form().Label20, "0");
        EXPECT_EQ(form().Label21, "0");
        EXPECT_EQ(form().Label22, "0");
        EXPECT_NE(form().Text5, ""); // the report step runs as usual
    }

} // namespace
} // namespace quantem::results
