#include "analysis/ConditioningNotice.h"

#include "analysis/FitDetails.h"
#include "app/Commands.h"
#include "app/ModelSelection.h"
#include "app/Regression.h"
#include "support/TempRoot.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

namespace quantem::analysis {
namespace {

    void fitPolynomial(core::Session& session, const test::TempRoot& root, const char* file,
        const char* groups, const char* degree)
    {
        root.writeSamples(test::readReferenceData(std::string("nist/") + file));
        app::runCommand(session, [&] { app::selectModel(session, core::kPolynomialModel); });
        app::runCommand(session, [&] { app::setSampleCountText(session, groups); });
        session.form1.Text4 = degree;
        app::runCommand(session, [&] { app::regressionCommand(session, app::Route::Menu); });
    }

    TEST(ConditioningNotice, WarnsInPanelOneAfterABadlyConditionedFitAndClearsAfterAGoodOne)
    {
        for (const char* file : { "nist/Filip.qtm", "nist/Pontius.qtm" })
            if (!test::hasReferenceData(file))
                GTEST_SKIP() << test::missingReferenceData(file);
        test::TempRoot root;
        core::Session session(root.path());
        app::runCommand(session, [&] { app::startUpReset(session); });
        fitPolynomial(session, root, "Filip.qtm", "82", "10");
        const std::string label2 = session.form1.Label2;
        const std::string report = session.form1.Text5;
        EXPECT_TRUE(noteConditioning(session));
        EXPECT_EQ(session.form1.StatusBar1[0].rfind(kConditioningWarningStart, 0), 0u);
        // The labels and the report keep the fit's own values.
        EXPECT_EQ(session.form1.Label2, label2);
        EXPECT_EQ(session.form1.Text5, report);

        fitPolynomial(session, root, "Pontius.qtm", "40", "2");
        EXPECT_FALSE(noteConditioning(session));
        EXPECT_EQ(session.form1.StatusBar1[0], "");

        // Another notice in the panel is left alone.
        session.form1.StatusBar1[0] = "The page could not be opened: x";
        EXPECT_FALSE(noteConditioning(session));
        EXPECT_EQ(session.form1.StatusBar1[0], "The page could not be opened: x");
    }

} // namespace
} // namespace quantem::analysis
