#include "engine_linear/LinearFamilyFit.h"

#include "core/Fault.h"
#include "core/NumberText.h"
#include "core/SampleData.h"
#include "core/ScratchStore.h"
#include "core/Session.h"
#include "support/Expect.h"
#include "support/TempRoot.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace quantem::linear {
namespace {

    using core::MessageWindowId;
    using core::ScratchFile;

    constexpr const char* kInputError = "   Input error !";

    // The example of one regressor: (1, 2), (2, 3), (3, 5), (4, 4).
    constexpr const char* kFourGroups = "1,2\r\n2,3\r\n3,5\r\n4,4\r\n";

    class LinearFamilyFit : public ::testing::Test
    {
    protected:
        // Runs one fit with the count texts as typed.
        void run(core::ModelId model, const std::string& groups, const std::string& regressors)
        {
            session.form1.Text2 = groups;
            session.form1.Text4 = regressors;
            runLinearFamilyFit(session, model);
        }

        std::vector<double> coefficients(std::size_t count) const
        {
            return session.store.readNumbers(ScratchFile::Hgb, count);
        }

        // R, F, S as xs.sys holds them, after checking the ModelId in front.
        std::vector<double> testParameters(core::ModelId model) const
        {
            const std::vector<double> record = session.store.readNumbers(ScratchFile::Xs, 4);
            EXPECT_EQ(record[0], model);
            return { record[1], record[2], record[3] };
        }

        // Marks the outputs of a run, so a test can see which of them a run left alone.
        void markOutputs()
        {
            root.writeFile("sys/hgb.sys", "earlier hgb\r\n");
            root.writeFile("sys/xs.sys", "earlier xs\r\n");
            for (int label : core::kValueLabels)
                session.form1.label(label) = "old" + std::to_string(label);
            session.form1.Text5 = "earlier report";
            session.form1.Picture2 = kIndicatorOlive;
        }

        void expectOutputsUntouched(bool hgbUntouched = true)
        {
            if (hgbUntouched) {
                EXPECT_EQ(root.readSys("hgb.sys"), "earlier hgb\r\n");
            }
            EXPECT_EQ(root.readSys("xs.sys"), "earlier xs\r\n");
            for (int label : { 2, 3, 8, 17, 18, 19, 20, 21, 22 })
                EXPECT_EQ(session.form1.label(label), "old" + std::to_string(label));
            EXPECT_EQ(session.form1.Text5, "earlier report");
        }

        std::vector<core::Showing> showings() const { return session.messages.log(); }

        test::TempRoot root;
        core::Session session { root.path() };
    };

    TEST_F(LinearFamilyFit, OneRegressorGivesTheWorkedExampleForBothModels)
    {
        for (core::ModelId model : { 51, 52 }) {
            SCOPED_TRACE(model);
            root.writeSamples(kFourGroups);
            run(model, "4", "1");
            const std::vector<double> a = coefficients(2);
            EXPECT_NEAR_REL(a[0], 1.5, 1E-15);
            EXPECT_NEAR_REL(a[1], 0.8, 1E-15);
            EXPECT_EQ(session.form1.Label2, core::doubleText(a[0]));
            EXPECT_EQ(session.form1.Label3, core::doubleText(a[1]));
            EXPECT_EQ(session.form1.Label4, "");
            EXPECT_EQ(session.form1.Label8, "");
            EXPECT_EQ(session.form1.Label17, "0.8");
            EXPECT_EQ(session.form1.Label18, "3.55555555555556");
            EXPECT_EQ(session.form1.Label19, "0.948683298050514");
            EXPECT_EQ(session.form1.Label20, "1.1");
            EXPECT_EQ(session.form1.Label21, "0.55");
            EXPECT_EQ(session.form1.Label22, "0.148420074847218");
            const std::vector<double> rfs = testParameters(model);
            EXPECT_NEAR_REL(rfs[0], 0.8, 1E-15);
            EXPECT_NEAR_REL(rfs[1], 32.0 / 9.0, 1E-14);
            EXPECT_NEAR_REL(rfs[2], std::sqrt(0.9), 1E-15);
            EXPECT_TRUE(showings().empty());
        }
    }

    TEST_F(LinearFamilyFit, TwoElementsFitThePlaneOfTheWorkedExample)
    {
        root.writeSamples("1,0,2.0\r\n2,1,2.5\r\n3,0,4.1\r\n4,1,4.4\r\n5,0,6.2\r\n6,1,6.3\r\n");
        run(51, "6", "2");
        const std::vector<double> a = coefficients(3);
        EXPECT_NEAR_REL(a[0], 1.1, 1E-14);
        EXPECT_NEAR_REL(a[1], 1.0, 1E-14);
        EXPECT_NEAR_REL(a[2], -0.7, 1E-14);
        const std::vector<double> rfs = testParameters(51);
        EXPECT_NEAR_REL(rfs[0], 0.99876275857355, 1E-13);
        EXPECT_NEAR_REL(rfs[1], 605.0625, 1E-11);
        EXPECT_NEAR_REL(rfs[2], 0.115470053837925, 1E-12);
        EXPECT_NEAR_REL(std::strtod(session.form1.Label20.c_str(), nullptr), 0.1, 1E-13);
        EXPECT_EQ(session.form1.Label21, "0.06666667");
        EXPECT_NEAR_REL(
            std::strtod(session.form1.Label22.c_str(), nullptr), 0.0202173594847775, 1E-12);
    }

    TEST_F(LinearFamilyFit, CollinearRegressorsSolveThroughThePivotFloor)
    {
        // Two identical columns: the second pivot is exactly 0 and a1 comes out 0.
        root.writeSamples("1,1,2\r\n2,2,3\r\n3,3,5\r\n4,4,4\r\n");
        run(51, "4", "2");
        std::vector<double> a = coefficients(3);
        EXPECT_NEAR_REL(a[0], 1.5, 1E-14);
        EXPECT_NEAR(a[1], 0.0, 1E-14);
        EXPECT_NEAR_REL(a[2], 0.8, 1E-14);

        // A regressor that never changes takes over the constant.
        root.writeSamples("1,3,2\r\n2,3,3\r\n3,3,5\r\n4,3,4\r\n");
        run(51, "4", "2");
        a = coefficients(3);
        EXPECT_NEAR(a[0], 0.0, 1E-14);
        EXPECT_NEAR_REL(a[1], 0.8, 1E-14);
        EXPECT_NEAR_REL(a[2], 0.5, 1E-14);
        EXPECT_TRUE(showings().empty());
    }

    TEST_F(LinearFamilyFit, ExactPlaneWithRoundingLeftInQIsNoPerfectFit)
    {
        root.writeSamples("1,1,6\r\n2,1,8\r\n1,2,9\r\n2,2,11\r\n3,1,10\r\n");
        run(51, "5", "2");
        const std::vector<double> a = coefficients(3);
        EXPECT_NEAR_REL(a[0], 1.0, 1E-13);
        EXPECT_NEAR_REL(a[1], 2.0, 1E-13);
        EXPECT_NEAR_REL(a[2], 3.0, 1E-13);
        const std::vector<double> rfs = testParameters(51);
        EXPECT_LT(std::fabs(rfs[0] - 1.0), 1E-14);
        EXPECT_NE(session.form1.Label18, "1E+20");
        // Q is about 2.5E-14: F about 6.0E+14 and S about 1.1E-07, printed as computed.
        EXPECT_NEAR_REL(rfs[1], 6.0E+14, 0.05);
        EXPECT_NEAR(rfs[2], 1.1E-07, 0.06E-07);
        EXPECT_EQ(session.form1.Label18, core::doubleText(rfs[1]));
    }

    TEST_F(LinearFamilyFit, DataExactlyOnTheModelIsAPerfectFit)
    {
        root.writeSamples("0,1\r\n1,2\r\n2,5\r\n3,10\r\n");
        run(52, "4", "2");
        const std::vector<double> a = coefficients(3);
        EXPECT_NEAR_REL(a[0], 1.0, 1E-14);
        EXPECT_NEAR(a[1], 0.0, 1E-14);
        EXPECT_NEAR_REL(a[2], 1.0, 1E-14);
        EXPECT_EQ(session.form1.Label17, "1");
        EXPECT_EQ(session.form1.Label18, "1E+20");
        EXPECT_EQ(session.form1.Label19, "0");
        EXPECT_EQ(root.readSys("xs.sys"), "52,1,1E+20,0\r\n");
    }

    TEST_F(LinearFamilyFit, NegativeAndZeroXGivePowersOfTheirSign)
    {
        // y = 2 - x + 0.5·x³ through x = -2, -1, 0, 1, 2, 3: the odd power keeps the sign.
        root.writeSamples("-2,0\r\n-1,2.5\r\n0,2\r\n1,1.5\r\n2,4\r\n3,12.5\r\n");
        run(52, "6", "3");
        const std::vector<double> a = coefficients(4);
        EXPECT_NEAR_REL(a[0], 2.0, 1E-13);
        EXPECT_NEAR(a[1], -1.0, 1E-13);
        EXPECT_NEAR(a[2], 0.0, 1E-13);
        EXPECT_NEAR_REL(a[3], 0.5, 1E-13);
    }

    TEST_F(LinearFamilyFit, OnlyTheFirstNGroupsCount)
    {
        root.writeSamples(std::string(kFourGroups) + "100,-250\r\n7,\r\n");
        run(51, "4", "1");
        const std::vector<double> a = coefficients(2);
        EXPECT_NEAR_REL(a[0], 1.5, 1E-15);
        EXPECT_NEAR_REL(a[1], 0.8, 1E-15);
        EXPECT_EQ(session.form1.Label20, "1.1");
    }

    TEST_F(LinearFamilyFit, TooManyRegressorsOrBadCountsChangeNothing)
    {
        // No data.qtm at all: a run that opened it would end silently, not in the error dialog.
        struct Case
        {
            const char* groups;
            const char* regressors;
        };
        int expectedShowings = 0;
        for (const Case& c :
            { Case { "4", "51" }, Case { "4", " 60.5" }, Case { "0", "1" }, Case { "-3", "1" },
                Case { "2.5", "1" }, Case { "", "1" }, Case { "4", "0" }, Case { "4", "1.5" },
                Case { "4", "-2" }, Case { "4", "abc" }, Case { "1e400", "1" } }) {
            SCOPED_TRACE(std::string(c.groups) + " / " + c.regressors);
            markOutputs();
            run(51, c.groups, c.regressors);
            expectOutputsUntouched();
            EXPECT_EQ(session.form1.Picture2, kIndicatorOlive);
            ASSERT_EQ(showings().size(), static_cast<std::size_t>(++expectedShowings));
            EXPECT_EQ(showings().back().window, MessageWindowId::Form5);
            EXPECT_EQ(showings().back().text, kInputError);
        }
        EXPECT_EQ(root.read("data.qtm"), "<missing>");
    }

    TEST_F(LinearFamilyFit, ShortSampleFileEndsInTheErrorDialogBeforeAnythingIsWritten)
    {
        root.writeSamples(kFourGroups);
        markOutputs();
        for (const char* groups : { "5", "1E+300" }) {
            run(52, groups, "1");
            expectOutputsUntouched();
            EXPECT_EQ(session.form1.Picture2, kIndicatorOlive);
        }
        ASSERT_EQ(showings().size(), 2u);
        EXPECT_EQ(showings()[0].text, kInputError);
        EXPECT_EQ(showings()[1].text, kInputError);
    }

    TEST_F(LinearFamilyFit, MissingSamplesOrTextInThemEndSilently)
    {
        markOutputs();
        run(51, "4", "1");
        expectOutputsUntouched();

        root.writeSamples("1,2\r\n2,three\r\n3,5\r\n4,4\r\n");
        run(51, "4", "1");
        expectOutputsUntouched();
        EXPECT_TRUE(showings().empty());
        EXPECT_EQ(session.form1.Picture2, kIndicatorOlive);
    }

    TEST_F(LinearFamilyFit, LastRegressorZeroEverywhereFailsTheLastDivision)
    {
        root.writeSamples("1,0,2\r\n2,0,3\r\n3,0,5\r\n4,0,4\r\n");
        markOutputs();
        run(51, "4", "2");
        expectOutputsUntouched();
        ASSERT_EQ(showings().size(), 1u);
        EXPECT_EQ(showings()[0].text, kInputError);
        // The data pass was complete, so the indicator did turn.
        EXPECT_EQ(session.form1.Picture2, kIndicatorBlue);
    }

    TEST_F(LinearFamilyFit, HighDegreeOverflowLeavesTheCoefficientFileAlone)
    {
        root.writeSamples("1,2\r\n2000,3\r\n3,5\r\n");
        markOutputs();
        run(52, "3", "50");
        expectOutputsUntouched();
        ASSERT_EQ(showings().size(), 1u);
        EXPECT_EQ(showings()[0].text, kInputError);
    }

    TEST_F(LinearFamilyFit, AllYEqualFailsAfterTheCoefficientsAreWritten)
    {
        root.writeSamples("1,3.25\r\n2,3.25\r\n3,3.25\r\n");
        markOutputs();
        run(51, "3", "1");
        expectOutputsUntouched(false);
        const std::vector<double> a = coefficients(2);
        EXPECT_NEAR_REL(a[0], 3.25, 1E-14);
        EXPECT_NEAR(a[1], 0.0, 1E-14);
        ASSERT_EQ(showings().size(), 1u);
        EXPECT_EQ(showings()[0].text, kInputError);
    }

    TEST_F(LinearFamilyFit, FittedValueOfZeroEndsOnlyTheResidualPass)
    {
        // x = -1, 0, 1 with Σy = 0: a0 is exactly 0, so the fitted value at x = 0 is 0.
        root.writeSamples("-1,-1\r\n0,0.5\r\n1,0.5\r\n");
        markOutputs();
        run(51, "3", "1");
        const std::vector<double> a = coefficients(2);
        EXPECT_EQ(a[0], 0.0);
        EXPECT_EQ(a[1], 0.75);
        EXPECT_EQ(session.form1.Label17, core::doubleText(testParameters(51)[0]));
        EXPECT_EQ(session.form1.Label20, "old20");
        EXPECT_EQ(session.form1.Label21, "old21");
        EXPECT_EQ(session.form1.Label22, "old22");
        EXPECT_NE(session.form1.Text5.find("                Biggest error:old20\r\n"
                                           "                  Equal error:old21\r\n"
                                           "         Equal relating error:old22"),
            std::string::npos);
        EXPECT_TRUE(showings().empty());
    }

    TEST_F(LinearFamilyFit, ResidualPassWithoutSamplesShowsZeros)
    {
        root.writeFile("sys/hgb.sys", "1.5\r\n0.8\r\n");
        session.form1.Text2 = "4";
        residualPass(session, 51, 1, nullptr);
        EXPECT_EQ(session.form1.Label20, "0");
        EXPECT_EQ(session.form1.Label21, "0");
        EXPECT_EQ(session.form1.Label22, "0");
        ASSERT_EQ(showings().size(), 1u);
        EXPECT_EQ(showings()[0].text, "Have no data !");
    }

    TEST_F(LinearFamilyFit, ResidualPassUsesTheCoefficientsAsWritten)
    {
        const core::SampleData samples = core::SampleData::fromText(kFourGroups);
        session.form1.Text2 = "4";
        root.writeFile("sys/hgb.sys", "1\r\n1\r\n");
        residualPass(session, 51, 1, &samples);
        // Residuals 0, 0, 1, -1 of y = 1 + x.
        EXPECT_EQ(session.form1.Label20, "1");
        EXPECT_EQ(session.form1.Label21, "0.5");
        EXPECT_EQ(session.form1.Label22, core::doubleText((1.0 / 4.0 + 1.0 / 5.0) / 4.0));

        // A fault while reading the coefficients belongs to the run, not to the pass.
        root.writeFile("sys/hgb.sys", "1\r\n");
        try {
            residualPass(session, 51, 1, &samples);
            ADD_FAILURE() << "a short hgb.sys was read without a fault";
        } catch (const core::Fault& fault) {
            EXPECT_EQ(fault.code(), core::FaultCode::InputPastEndOfFile);
        }
    }

    TEST_F(LinearFamilyFit, PanelShowsAtMostSevenCoefficientsAndTheReportAll)
    {
        // Nine points on a polynomial of degree 8 in x = 0..9 with one point off it.
        std::string samples;
        for (int x = 0; x <= 9; ++x) {
            const double y = 1.0 + 0.5 * x + (x == 4 ? 0.25 : 0.0);
            samples += std::to_string(x) + "," + core::recordNumber(y) + "\r\n";
        }
        root.writeSamples(samples);
        run(52, "10", "8");
        ASSERT_TRUE(showings().empty());
        const std::vector<double> a = coefficients(9);
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(session.form1.label(2 + i), core::doubleText(a[static_cast<std::size_t>(i)]));
        const std::string& report = session.form1.Text5;
        EXPECT_NE(report.find("\r\na(0)=" + core::doubleText(a[0]) + "\r\n"), std::string::npos);
        EXPECT_NE(
            report.find("\r\na(8)=" + core::doubleText(a[8]) + "\r\n\r\n"), std::string::npos);
        EXPECT_EQ(report.find("a(9)="), std::string::npos);
    }

    TEST_F(LinearFamilyFit, RunIndicatorAlternatesBetweenOliveAndBlue)
    {
        core::Form1 form;
        toggleRunIndicator(form);
        EXPECT_EQ(form.Picture2, kIndicatorOlive);
        EXPECT_EQ(form.Timer1Interval, 10);
        toggleRunIndicator(form);
        EXPECT_EQ(form.Picture2, kIndicatorBlue);
        toggleRunIndicator(form);
        EXPECT_EQ(form.Picture2, kIndicatorOlive);

        root.writeSamples(kFourGroups);
        session.form1.Picture2 = kIndicatorOlive;
        run(51, "4", "1");
        EXPECT_EQ(session.form1.Picture2, kIndicatorBlue);
        run(51, "4", "1");
        EXPECT_EQ(session.form1.Picture2, kIndicatorOlive);
    }

    TEST_F(LinearFamilyFit, ReportsMatchTheirDocumentsByteForByte)
    {
        // A balanced design: every sum and coefficient is exact, so every digit is fixed.
        root.writeSamples("-1,-1,1.5\r\n1,-1,4.25\r\n-1,1,2.75\r\n1,1,6.5\r\n"
                          "-1,-1,2\r\n1,-1,3.75\r\n-1,1,3.25\r\n1,1,6\r\n");
        run(51, "8", " 2");
        EXPECT_EQ(session.form1.Text5, quantem::test::readTestData("linear_report_51.txt"));

        root.writeSamples(kFourGroups);
        run(52, "4", "1");
        EXPECT_EQ(session.form1.Text5, quantem::test::readTestData("linear_report_52.txt"));
        EXPECT_TRUE(showings().empty());
    }

} // namespace
} // namespace quantem::linear
