#include "analysis/qt/FitDetailsWindow.h"
#include "app/Commands.h"
#include "app/InstallRoot.h"
#include "app/ModelSelection.h"
#include "app/Regression.h"
#include "support/TempRoot.h"

#include <QLabel>
#include <QTableWidget>
#include <gtest/gtest.h>

#include <string>

namespace quantem::ui {
namespace {

    /// The details window beside a session driven as the main window's commands drive it; the
    /// program lets the window follow after every command.
    class FitDetailsFollowTest : public ::testing::Test
    {
    protected:
        FitDetailsFollowTest()
        {
            root.writeSamples(app::samplePlanetData());
            app::runCommand(session, [&] { app::startUpReset(session); });
            fit(7);
        }

        /// What the menus do, and "Use this model" of the ranking window with them.
        void fit(core::ModelId model)
        {
            app::runCommand(session, [&] { app::selectModel(session, model); });
            app::runCommand(session, [&] { app::setSampleCountText(session, "8"); });
            session.form1.Text4 = "1";
            app::runCommand(session, [&] { app::regressionCommand(session, app::Route::Menu); });
        }

        std::string heading() const
        {
            return window.findChild<QLabel*>(QStringLiteral("heading"))->text().toStdString();
        }

        test::TempRoot root;
        core::Session session { root.path() };
        FitDetailsWindow window { session };
    };

    TEST_F(FitDetailsFollowTest, ShowsTheFitOfTheMainWindowAfterEveryCommandNeverAnEarlierOne)
    {
        window.showFit(false);
        // The quick fit's own end: the fit shown is refined at once. A new count typed changes
        // no result of the main window: the eight groups' fit stays, refined.
        window.followSession(true);
        ASSERT_TRUE(window.details() && window.details()->refined);
        app::runCommand(session, [&] { app::setSampleCountText(session, "7"); });
        window.followSession(false);
        ASSERT_TRUE(window.details() && window.details()->refined);
        EXPECT_EQ(window.findChild<QTableWidget*>(QStringLiteral("residuals"))->rowCount(), 8);

        // A new model leaves model 7's numbers in the main window, but they are no fit of it.
        app::runCommand(session, [&] { app::selectModel(session, 12); });
        window.followSession(false);
        EXPECT_FALSE(window.details());
        EXPECT_EQ(heading(), "No finished fit: run a regression first.");

        fit(12);
        window.followSession(false);
        ASSERT_TRUE(window.details());
        EXPECT_FALSE(window.details()->refined);
        EXPECT_EQ(heading().rfind("Model 12: ", 0), 0u) << heading();
        EXPECT_EQ(window.findChild<QTableWidget*>(QStringLiteral("parameters"))->rowCount(), 4);

        app::runCommand(session, [&] { app::clearResults(session, app::Route::Menu); });
        window.followSession(true);
        EXPECT_FALSE(window.details());
        EXPECT_EQ(window.tablesText(), "");
    }

} // namespace
} // namespace quantem::ui
