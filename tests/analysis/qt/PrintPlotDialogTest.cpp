#include "analysis/qt/FitDetailsWindow.h"
#include "app/Commands.h"
#include "app/InstallRoot.h"
#include "app/ModelSelection.h"
#include "app/Regression.h"
#include "support/PrintDialogAnswer.h"
#include "support/TempRoot.h"

#include <QFile>
#include <QLabel>
#include <QPrinterInfo>
#include <QPushButton>
#include <gtest/gtest.h>

#include <filesystem>

namespace quantem::ui {
namespace {

    // Print plot asks where to print first: Cancel prints nothing and says nothing, OK prints.
    TEST(FitDetailsPrintPlot, CancelInThePrintDialogPrintsNothing)
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            GTEST_SKIP() << "this machine has a printer";
        test::TempRoot root;
        core::Session session { root.path() };
        root.writeSamples(app::samplePlanetData());
        app::runCommand(session, [&] { app::startUpReset(session); });
        app::runCommand(session, [&] { app::selectModel(session, 7); });
        app::runCommand(session, [&] { app::setSampleCountText(session, "8"); });
        session.form1.Text4 = "1";
        app::runCommand(session, [&] { app::regressionCommand(session, app::Route::Menu); });
        FitDetailsWindow window { session };
        window.showFit(false);
        auto* print = window.findChild<QPushButton*>(QStringLiteral("printPlot"));
        auto* progress = window.findChild<QLabel*>(QStringLiteral("progress"));
        ASSERT_TRUE(print != nullptr && progress != nullptr);
        const QString shown = progress->text();
        const std::filesystem::path pdf = root.path() / "residuals.pdf";

        const auto cancelled = test::answerNextPrintDialog(false, pdf);
        print->click();
        ASSERT_TRUE(cancelled->dialogShown);
        EXPECT_FALSE(std::filesystem::exists(pdf));
        EXPECT_EQ(progress->text().toStdString(), shown.toStdString());

        const auto printed = test::answerNextPrintDialog(true, pdf);
        print->click();
        ASSERT_TRUE(printed->dialogShown);
        QFile file(QString::fromStdString(pdf.string()));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.read(5), QByteArray("%PDF-"));
        EXPECT_EQ(progress->text().toStdString(), shown.toStdString());
    }

} // namespace
} // namespace quantem::ui
