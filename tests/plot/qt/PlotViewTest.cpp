#include "plot/qt/PlotView.h"

#include "PlanetPlot.h"
#include "equation/CompiledFormula.h"
#include "plot/EquationPlot.h"
#include "plot/qt/PlotFile.h"
#include "support/PlantedLink.h"
#include "support/TempRoot.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPrinter>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <cmath>

namespace quantem::ui {
namespace {

    using PlanetFit = PlanetPlot; // a curve with both bands

    QByteArray contentOf(const std::filesystem::path& path)
    {
        QFile file(QString::fromStdString(path.string()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    /// Pixels near the fitted curve's colour.
    int curvePixels(const QImage& image)
    {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += std::abs(c.red() - 192) < 30 && c.green() < 90 && c.blue() < 80 ? 1 : 0;
            }
        return count;
    }

    TEST(PlotFile, WritesPngOfTheAskedSizeAValidSvgAndAPdfPageWholeOrNotAtAll)
    {
        const PlanetFit fit;
        const plot::FitPlot plot = fit.plotFor({});
        test::TempRoot root;
        const std::filesystem::path png = root.path() / "planets.png";
        const std::filesystem::path small = root.path() / "small.PNG";
        const std::filesystem::path svg = root.path() / "planets.svg";
        const std::filesystem::path pdf = root.path() / "planets.pdf";
        ASSERT_TRUE(writePlotFile(plot, png, kDefaultExportSize));
        ASSERT_TRUE(writePlotFile(plot, small, QSize(480, 320)));
        ASSERT_TRUE(writePlotFile(plot, svg, kDefaultExportSize));
        ASSERT_TRUE(writePlotFile(plot, pdf, kDefaultExportSize));

        const QImage image(QString::fromStdString(png.string()));
        EXPECT_EQ(image.size(), kDefaultExportSize);
        EXPECT_GT(curvePixels(image), 1000); // the curve is drawn, a few pixels wide
        EXPECT_EQ(QImage(QString::fromStdString(small.string())).size(), QSize(480, 320));

        const QByteArray drawing = contentOf(svg);
        QXmlStreamReader xml(drawing);
        int texts = 0;
        while (!xml.atEnd())
            texts += xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"text";
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        EXPECT_GT(texts, 10); // ticks, titles, legend
        EXPECT_TRUE(QSvgRenderer(drawing).isValid());
        EXPECT_TRUE(drawing.contains("a*x^k"));

        const QByteArray page = contentOf(pdf);
        EXPECT_TRUE(page.startsWith("%PDF-"));
        EXPECT_TRUE(page.contains("/Type /Page"));

        const std::filesystem::path gif = root.path() / "planets.gif";
        const std::filesystem::path missing = root.path() / "no-such-folder" / "p.png";
        EXPECT_FALSE(writePlotFile(plot, gif, kDefaultExportSize));
        EXPECT_FALSE(writePlotFile(plot, missing, kDefaultExportSize));
        EXPECT_FALSE(std::filesystem::exists(gif));
        EXPECT_EQ(plotFileFailure(gif), "its name must end in .png, .svg or .pdf");
        EXPECT_EQ(plotFileFailure(missing),
            "the folder " + (root.path() / "no-such-folder").string() + " does not exist");
    }

    TEST(PlotView, SavingRefusesALinkPlantedAtTheChosenNameAndSaysWhy)
    {
        const PlanetFit fit;
        PlotView view;
        view.setPlotSource([&](const plot::PlotOptions& options) { return fit.plotFor(options); },
            plot::PlotOptions {});
        test::TempRoot root;
        for (const char* name : { "plot.png", "plot.svg", "plot.pdf" }) {
            const test::PlantedLink link(root.path() / name, root.path() / "victim");
            const core::ExportOutcome saved = view.savePlot(link.path());
            EXPECT_FALSE(saved) << name;
            EXPECT_NE(saved.failure.find("symbolic link"), std::string::npos) << saved.failure;
            EXPECT_EQ(plotFileFailure(link.path()), saved.failure);
            EXPECT_EQ(link.damage(), "") << name;
            std::filesystem::remove(link.path());
        }
    }

    TEST(PlotView, AsksItsSourceAgainWhenAnOptionChangesAndPaintsAtItsSize)
    {
        const PlanetFit fit;
        PlotView view;
        EXPECT_FALSE(view.hasPlot());
        EXPECT_FALSE(view.savePlot("/tmp/never.png"));
        std::vector<plot::PlotOptions> asked;
        plot::PlotOptions initial;
        initial.yScale = plot::AxisScale::Log;
        view.setPlotSource(
            [&](const plot::PlotOptions& options) {
                asked.push_back(options);
                return fit.plotFor(options);
            },
            initial);
        ASSERT_TRUE(view.hasPlot());
        ASSERT_EQ(asked.size(), 1u);
        auto* logX = view.findChild<QCheckBox*>(QStringLiteral("logX"));
        auto* logY = view.findChild<QCheckBox*>(QStringLiteral("logY"));
        auto* xTitle = view.findChild<QLineEdit*>(QStringLiteral("xTitle"));
        ASSERT_TRUE(logX && logY && xTitle);
        EXPECT_TRUE(logY->isChecked()); // the controls show the initial options
        EXPECT_EQ(xTitle->placeholderText(), "x");

        logX->setChecked(true);
        ASSERT_EQ(asked.size(), 2u);
        EXPECT_EQ(asked.back().xScale, plot::AxisScale::Log);
        EXPECT_EQ(asked.back().yScale, plot::AxisScale::Log);
        xTitle->setText(QStringLiteral("distance (AU)"));
        emit xTitle->editingFinished();
        ASSERT_EQ(asked.size(), 3u);
        EXPECT_EQ(view.plot().x.title, "distance (AU)");

        // Painted afresh at each size.
        auto* canvas = view.findChild<QWidget*>(QStringLiteral("plotCanvas"));
        ASSERT_NE(canvas, nullptr);
        int lastWidth = 0;
        for (const QSize size : { QSize(760, 480), QSize(1400, 900) }) {
            view.resize(size);
            const QImage shot = canvas->grab().toImage();
            EXPECT_GT(canvas->width(), lastWidth);
            EXPECT_EQ(shot.size(), canvas->size() * shot.devicePixelRatio());
            EXPECT_GT(curvePixels(shot), 100) << size.width();
            lastWidth = canvas->width();
        }

        test::TempRoot root;
        EXPECT_TRUE(view.savePlot(root.path() / "view.svg"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString((root.path() / "printed.pdf").string()));
        EXPECT_TRUE(view.printPlot(printer));
        EXPECT_TRUE(contentOf(root.path() / "printed.pdf").contains("/Type /Page"));

        view.clearPlot();
        EXPECT_FALSE(view.hasPlot());
        EXPECT_FALSE(logX->isEnabled());
    }

} // namespace
} // namespace quantem::ui
