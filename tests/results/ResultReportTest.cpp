#include "results/ResultReport.h"

#include "core/Record.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <string>

namespace quantem::results {
namespace {

    class ResultReportTest : public ::testing::Test
    {
    protected:
        quantem::test::TempRoot root;
        core::Session session { root.path() };

        void SetUp() override
        {
            root.writeFile("sys/mb.sys", "0\r\n");
            root.writeFile("sys/culi.sys", "0,0,0,0\r\n");
            root.writeFile("sys/JC.sys", "98500000000000\r\n");
            core::Form1& f = session.form1;
            f.Text1 = "1";
            f.Text2 = "12";
            f.Text4 = ".5";
            f.Label2 = "1.25";
            f.Label3 = "-0.5";
            f.Label4 = "";
            f.Label11 = "0.75";
            f.Label12 = "";
            f.Label17 = "0.998";
            f.Label18 = "2493.5";
            f.Label19 = "0.0625";
            f.Label20 = "0.125";
            f.Label21 = "0.046875";
            f.Label22 = "0.01";
        }

        void chooseModel(core::ModelId model)
        {
            const core::ModelDescriptor& d = core::modelOf(model);
            root.writeFile("sys/xx.sys",
                std::to_string(d.variables) + "," + std::to_string(d.elements) + ","
                    + std::to_string(d.exponents) + "," + std::to_string(model) + "\r\n");
        }

        std::string line(int number) const
        {
            const std::string& text = session.form1.Text5;
            std::size_t start = 0;
            for (int i = 1; i < number; ++i)
                start = text.find("\r\n", start) + 2;
            return text.substr(start, text.find("\r\n", start) - start);
        }
    };

    TEST_F(ResultReportTest, ReportWithoutOffsetsHasTenLinesAndNoLineEndAfterTheLast)
    {
        chooseModel(7);
        buildResultReport(session, 0.046875f);
        EXPECT_EQ(session.form1.Text5,
            "What you did is Two-Dimension data Regressing, the regressing data's Sample "
            "Quantity is 12  group.\r\n"
            "The corresponding data of the model you chosen is: The second Dimension data of "
            "every group of number is objective function Y, the first One is X1.\r\n"
            "Power initial value is: .5\r\n"
            "Now, return best model of the data is: Two Dimensions non-linearity,One "
            "ElementNo.1\r\n"
            "   Correlation coefficient(R):0.998\r\n"
            "      Statistical variable(F):2493.5\r\n"
            "Residue standard deviation(S):0.0625\r\n"
            "                Biggest error:0.125\r\n"
            "                  Equal error:0.046875\r\n"
            "         Equal relating error:0.01");
        EXPECT_EQ(root.readSys("JC.sys"), "0.046875\r\n");
        EXPECT_EQ(root.readSys("xs.sys"), "7,\"1.25\",\"-0.5\",\"0.75\"\r\n");
        EXPECT_EQ(session.form1.Text7, "1");
    }

    TEST_F(ResultReportTest, NonZeroOffsetsAreNamedInColumnOrder)
    {
        chooseModel(39);
        root.writeFile("sys/culi.sys", "5,0,2,-1.5\r\n");
        session.form1.Text1 = "3";
        session.form1.Text7 = "3";
        buildResultReport(session, 0.046875f);
        EXPECT_EQ(line(3),
            "In which,The first Dimension data need be add in numbers '5';The third "
            "Dimension data need be add in numbers '2';The Fourth Dimension data need "
            "be add in numbers '-1.5'time,Is result model.");
        EXPECT_EQ(line(1),
            "What you did is Four-Dimension data Regressing, the regressing data's "
            "Sample Quantity is 12  group.");
        EXPECT_EQ(line(2),
            "The corresponding data of the model you chosen is: "
                + std::string(explanationLine(18)));
        EXPECT_EQ(line(4), "Power initial value is: .5");
    }

    TEST_F(ResultReportTest, OnlyAStrictlySmallerMeanErrorOrANewVariableCountIsReported)
    {
        chooseModel(7);
        root.writeFile("sys/JC.sys", "0.046875\r\n");
        root.writeFile("sys/xs.sys", "earlier\r\n");
        session.form1.Text7 = "1";
        session.form1.Text5 = "earlier report";
        buildResultReport(session, 0.046875f); // equal: not reported
        EXPECT_EQ(session.form1.Text5, "earlier report");
        EXPECT_EQ(root.readSys("JC.sys"), "0.046875\r\n");
        EXPECT_EQ(root.readSys("xs.sys"), "earlier\r\n");

        // A worse fit after a change of variable count is reported; Text7 follows Text1 always.
        chooseModel(16);
        session.form1.Text1 = "2";
        buildResultReport(session, 0.5f);
        EXPECT_EQ(session.form1.Text7, "2");
        EXPECT_EQ(line(1),
            "What you did is Three-Dimension dataRegressing, the regressing data's "
            "Sample Quantity is 12  group.");
        EXPECT_EQ(root.readSys("JC.sys"), "0.5\r\n");

        // The same variable count and a worse fit: nothing changes.
        session.form1.Text5 = "kept";
        buildResultReport(session, 0.75f);
        EXPECT_EQ(session.form1.Text5, "kept");
        EXPECT_EQ(session.form1.Text7, "2");
    }

    TEST_F(ResultReportTest, ArrangementInitialValueAndDimensionTexts)
    {
        struct Case
        {
            core::ModelId model;
            const char* mb;
            int line;
        };
        for (const Case& c : { Case { 20, "0", 7 }, Case { 45, "0", 18 }, Case { 1, "0,0", 2 },
                 Case { 20, "4", 4 }, Case { 42, "13", 13 } }) {
            SCOPED_TRACE(c.model);
            chooseModel(c.model);
            root.writeFile("sys/mb.sys", std::string(c.mb) + "\r\n");
            root.writeFile("sys/JC.sys", "1E+19\r\n");
            buildResultReport(session, 0.046875f);
            EXPECT_EQ(line(2),
                "The corresponding data of the model you chosen is: "
                    + std::string(explanationLine(c.line)));
        }
        const std::string_view eighteen = explanationLine(18);
        EXPECT_EQ(eighteen.substr(eighteen.find("the second")),
            "the second  One is X2, the third One is X3.");
        EXPECT_EQ(explanationLine(0), "");
        EXPECT_EQ(explanationLine(21), "");

        // Models without exponents state that no initial value was set, whatever Text4 holds.
        chooseModel(8);
        root.writeFile("sys/JC.sys", "1E+19\r\n");
        session.form1.Text4 = "0.75";
        buildResultReport(session, 0.046875f);
        EXPECT_EQ(line(3), "Power initial value is: Don't setting initial value ");
        EXPECT_EQ(line(4),
            "Now, return best model of the data is: Two Dimensions non-linearity,One "
            "Element No.2");
    }

    TEST_F(ResultReportTest, ShownCoefficientsFollowTheModelsCounts)
    {
        chooseModel(24);
        for (int label : { 2, 3, 4, 5, 6, 11, 12, 13, 14, 15, 16 })
            session.form1.label(label) = std::to_string(label) + ".5";
        session.form1.Label7 = "not shown";
        writeShownCoefficients(session);
        EXPECT_EQ(root.readSys("xs.sys"),
            "24,\"2.5\",\"3.5\",\"4.5\",\"5.5\",\"6.5\",\"11.5\",\"12.5\",\"13.5\",\"14.5\","
            "\"15.5\",\"16.5\"\r\n");

        root.writeFile("sys/xx.sys", "0,,0,51\r\n");
        writeShownCoefficients(session);
        EXPECT_EQ(root.readSys("xs.sys"), "");
    }

} // namespace
} // namespace quantem::results
