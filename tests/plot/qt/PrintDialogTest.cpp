#include "PlanetPlot.h"
#include "plot/qt/PlotView.h"
#include "support/PrintDialogAnswer.h"
#include "support/TempRoot.h"

#include <QFile>
#include <QPrinterInfo>
#include <QPushButton>
#include <gtest/gtest.h>

#include <filesystem>

namespace quantem::ui {
namespace {

    // Print... asks where to print first: Cancel prints nothing and warns of nothing, OK prints.
    TEST(PlotViewPrint, CancelInThePrintDialogPrintsNothing)
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            GTEST_SKIP() << "this machine has a printer";
        const PlanetPlot planets;
        PlotView view;
        view.setPlotSource(
            [&](const plot::PlotOptions& options) { return planets.plotFor(options); }, {});
        auto* print = view.findChild<QPushButton*>(QStringLiteral("printPlotPage"));
        ASSERT_NE(print, nullptr);
        test::TempRoot root;
        const std::filesystem::path pdf = root.path() / "plot.pdf";

        const auto cancelled = test::answerNextPrintDialog(false, pdf);
        print->click();
        ASSERT_TRUE(cancelled->dialogShown);
        EXPECT_FALSE(std::filesystem::exists(pdf));
        EXPECT_EQ(cancelled->warning.toStdString(), "");

        const auto printed = test::answerNextPrintDialog(true, pdf);
        print->click();
        ASSERT_TRUE(printed->dialogShown);
        EXPECT_EQ(printed->warning.toStdString(), "");
        QFile file(QString::fromStdString(pdf.string()));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.read(5), QByteArray("%PDF-"));
    }

} // namespace
} // namespace quantem::ui
