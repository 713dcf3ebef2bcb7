#include "analysis/qt/FitDetailsWindow.h"

#include "app/Commands.h"
#include "app/InstallRoot.h"
#include "app/ModelSelection.h"
#include "app/PublishRefinedFit.h"
#include "app/Regression.h"
#include "core/NumberText.h"
#include "plot/qt/PlotView.h"
#include "support/HashedSamples.h"
#include "support/PlantedLink.h"
#include "support/TempRoot.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quantem::ui {
namespace {

    /// The sample planets fitted with model 7 (y = a0 + a1 * x1 ^ k1), as the main window does.
    class FitDetailsWindowTest : public ::testing::Test
    {
    protected:
        FitDetailsWindowTest()
        {
            root.writeSamples(app::samplePlanetData());
            app::runCommand(session, [&] { app::startUpReset(session); });
            app::runCommand(session, [&] { app::selectModel(session, 7); });
            app::runCommand(session, [&] { app::setSampleCountText(session, "8"); });
            session.form1.Text4 = "1";
            app::runCommand(session, [&] { app::regressionCommand(session, app::Route::Menu); });
        }

        template <typename Widget> Widget* part(const char* name) const
        {
            auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
            EXPECT_NE(widget, nullptr) << "no part " << name;
            return widget;
        }

        static std::string cell(const QTableWidget* table, int row, int column)
        {
            const QTableWidgetItem* item = table->item(row, column);
            return item != nullptr ? item->text().toStdString() : std::string("<none>");
        }

        test::TempRoot root;
        core::Session session { root.path() };
        FitDetailsWindow window { session };
    };

    TEST_F(FitDetailsWindowTest, ShowsThePublishedFitAndRefinesItOnRequest)
    {
        window.showFit(false);
        window.show();
        const auto* parameters = part<QTableWidget>("parameters");
        ASSERT_EQ(parameters->rowCount(), 3); // a0, a1, k1
        EXPECT_EQ(cell(parameters, 0, 0), "a0");
        EXPECT_EQ(cell(parameters, 2, 0), "k1");
        // The value column shows what the main window's labels show, to seven digits; the copy
        // carries them all.
        EXPECT_NEAR(std::stod(cell(parameters, 2, 1)), core::val(session.form1.Label11), 1e-6);
        EXPECT_NE(
            window.tablesText().find("\na0\t" + session.form1.Label2 + "\t"), std::string::npos)
            << window.tablesText();
        EXPECT_EQ(cell(parameters, 0, 8), ""); // nothing refined yet
        EXPECT_EQ(part<QTableWidget>("residuals")->rowCount(), 8);
        // The fit plot shows the eight planets under the published curve with its bands.
        const auto* fitPlot = part<PlotView>("fitPlot");
        ASSERT_TRUE(fitPlot->hasPlot());
        EXPECT_EQ(fitPlot->plot().samples.x.size(), 8u);
        EXPECT_TRUE(fitPlot->plot().confidence.shown());
        EXPECT_EQ(fitPlot->plot().title.rfind("Model 7: ", 0), 0u) << fitPlot->plot().title;
        if (const char* shot = std::getenv("QUANTEM_FIT_PLOT_SCREENSHOT"))
            fitPlot->savePlot(shot);

        QTest::mouseClick(part<QPushButton>("refine"), Qt::LeftButton);
        ASSERT_TRUE(window.details() && window.details()->refined);
        EXPECT_NE(cell(parameters, 2, 8), "");
        // The refined sum of squares is below the published one, in the statistics table.
        const auto* statistics = part<QTableWidget>("statistics");
        EXPECT_EQ(cell(statistics, 0, 0), "sum of squares");
        EXPECT_LT(std::stod(cell(statistics, 0, 3)), std::stod(cell(statistics, 0, 1)));
        EXPECT_NE(
            part<QLabel>("progress")->text().toStdString().find("iterations"), std::string::npos);
        // The residual table gains the refined columns.
        EXPECT_EQ(part<QTableWidget>("residuals")->columnCount(), 8);

        if (const char* shot = std::getenv("QUANTEM_DETAILS_SCREENSHOT"))
            window.grab().save(QString::fromLocal8Bit(shot));
    }

    TEST_F(FitDetailsWindowTest, CopiesAndSavesItsTablesAndPlot)
    {
        window.showFit(true);
        QTest::mouseClick(part<QPushButton>("copy"), Qt::LeftButton);
        const std::string copied = QApplication::clipboard()->text().toStdString();
        EXPECT_EQ(copied.rfind("parameter\tvalue\tstandard error", 0), 0u) << copied;
        EXPECT_NE(copied.find("\nstatistic\tfit\tstable solve\trefined\n"), std::string::npos);
        EXPECT_NE(copied.find("\ngroup\tx1\ty\tfitted\tresidual"), std::string::npos);

        const std::filesystem::path csv = root.path() / "details.csv";
        ASSERT_TRUE(window.saveCsv(csv.string()));
        std::ifstream in(csv, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_EQ(text.str().rfind("parameter,value,standard error,95% low", 0), 0u);
        EXPECT_NE(text.str().find("\r\ngroup,x1,y,fitted,residual"), std::string::npos);
        EXPECT_FALSE(window.saveCsv((root.path() / "no-such-folder" / "x.csv").string()));

        const std::filesystem::path plot = root.path() / "residuals.png";
        EXPECT_TRUE(window.savePlot(plot.string()));
        EXPECT_GT(std::filesystem::file_size(plot), 0u);
        part<QComboBox>("axis")->setCurrentIndex(1); // against x1: drawn again, still there
        EXPECT_FALSE(part<QLabel>("plot")->pixmap().isNull());
    }

    TEST_F(FitDetailsWindowTest, TheResidualPlotAndTheTablesRefuseAPlantedLink)
    {
        window.showFit(true);
        const test::PlantedLink plot(root.path() / "residuals.svg", root.path() / "victim");
        const test::PlantedLink tables(root.path() / "details.csv", root.path() / "other");
        for (const core::ExportOutcome& saved :
            { window.savePlot(plot.path().string()), window.saveCsv(tables.path().string()) }) {
            EXPECT_FALSE(saved);
            EXPECT_NE(saved.failure.find("symbolic link"), std::string::npos) << saved.failure;
        }
        EXPECT_EQ(plot.damage(), "");
        EXPECT_EQ(tables.damage(), "");
    }

    TEST_F(FitDetailsWindowTest, ThePlotGrowsAndShrinksWithTheWindowInItsProportions)
    {
        window.showFit(false);
        part<QTabWidget>("pages")->setCurrentIndex(1);
        const auto* plot = part<QLabel>("plot");
        // As large as the label allows, in the plot's proportions of 5 to 3.
        const auto plotAt = [&](int width, int height) {
            window.resize(width, height);
            window.show();
            QApplication::processEvents();
            const QSize size = plot->pixmap().size();
            EXPECT_TRUE(size.width() == plot->width() || size.height() == plot->height())
                << size.width() << " x " << size.height() << " in " << plot->width() << " x "
                << plot->height();
            EXPECT_NEAR(size.width() * 3.0 / (size.height() * 5.0), 1.0, 0.02);
            return size;
        };
        const QSize large = plotAt(1600, 1200);
        const QSize small = plotAt(700, 560);
        EXPECT_GT(large.width(), small.width());
        EXPECT_GT(large.height(), small.height());
        // The picture does not hold the window at the size it had.
        EXPECT_LE(window.width(), 700);
        // Drawn afresh from the plot's drawing, so what changes shows at the new size: the red
        // dots and legend of the refined fit come only with refining.
        const auto hasRed = [&] {
            const QImage image = plot->pixmap().toImage();
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (const QColor c = image.pixelColor(x, y);
                        c.red() > 180 && c.green() < 60 && c.blue() < 60)
                        return true;
            return false;
        };
        EXPECT_FALSE(hasRed());
        QTest::mouseClick(part<QPushButton>("refine"), Qt::LeftButton);
        EXPECT_TRUE(hasRed());
    }

    QByteArray contentOf(const std::filesystem::path& path)
    {
        QFile file(QString::fromStdString(path.string()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    /// Pixels of the picture in the colour of the fit's residual marks (pure blue, give or take
    /// the smoothing of their edges).
    int markPixels(const QImage& image)
    {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.blue() > 200 && c.red() < 60 && c.green() < 60 ? 1 : 0;
            }
        return count;
    }

    /// The root element's name and the filled circles in the residual marks' colour.
    std::pair<QString, int> svgOutline(const QByteArray& svg)
    {
        QXmlStreamReader xml(svg);
        QString root;
        std::vector<QString> fills { QString() };
        int marks = 0;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == QLatin1String("g"))
                fills.pop_back();
            if (!xml.isStartElement())
                continue;
            if (root.isEmpty())
                root = xml.name().toString();
            const QXmlStreamAttributes attributes = xml.attributes();
            if (xml.name() == QLatin1String("g"))
                fills.push_back(attributes.hasAttribute(QLatin1String("fill"))
                        ? attributes.value(QLatin1String("fill")).toString()
                        : fills.back());
            else if (xml.name() == QLatin1String("circle") && fills.back() == "#0000ff")
                ++marks;
        }
        return { xml.hasError() ? QString() : root, marks };
    }

    TEST_F(FitDetailsWindowTest, SavesThePlotAsPngBmpSvgAndPdfAndPrintsIt)
    {
        window.showFit(false);
        const std::filesystem::path png = root.path() / "residuals.png";
        const std::filesystem::path bmp = root.path() / "residuals.bmp";
        const std::filesystem::path svg = root.path() / "residuals.svg";
        const std::filesystem::path pdf = root.path() / "residuals.PDF"; // any case
        for (const auto& path : { png, bmp, svg, pdf })
            ASSERT_TRUE(window.savePlot(path.string())) << path;

        EXPECT_TRUE(contentOf(png).startsWith("\x89PNG\r\n\x1a\n"));
        EXPECT_TRUE(contentOf(bmp).startsWith("BM"));
        for (const auto& path : { png, bmp }) {
            const QImage image(QString::fromStdString(path.string()));
            ASSERT_FALSE(image.isNull()) << path;
            EXPECT_EQ(image.width() * 3, image.height() * 5) << path; // the window's proportions
            EXPECT_GT(markPixels(image), 8 * 20) << path; // eight groups, a dot each
        }
        const auto [svgRoot, svgMarks] = svgOutline(contentOf(svg));
        EXPECT_EQ(svgRoot, "svg");
        EXPECT_EQ(svgMarks, 8);
        const QByteArray pdfBytes = contentOf(pdf);
        EXPECT_TRUE(pdfBytes.startsWith("%PDF-"));
        EXPECT_TRUE(pdfBytes.trimmed().endsWith("%%EOF"));
        EXPECT_TRUE(pdfBytes.contains("/Type /Page"));

        // Printed: on a PDF printer the page holds the plot.
        const std::filesystem::path printed = root.path() / "printed.pdf";
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(printed.string()));
        ASSERT_TRUE(window.printPlot(printer));
        const QByteArray printedBytes = contentOf(printed);
        EXPECT_TRUE(printedBytes.startsWith("%PDF-"));
        EXPECT_TRUE(printedBytes.contains("/Type /Page"));
        QPrinter nowhere(QPrinter::HighResolution);
        nowhere.setOutputFormat(QPrinter::PdfFormat);
        nowhere.setOutputFileName(
            QString::fromStdString((root.path() / "no-such-folder" / "p.pdf").string()));
        EXPECT_FALSE(window.printPlot(nowhere));

        // A name that names no format, or a folder that is not there: nothing is written.
        const std::filesystem::path jpeg = root.path() / "residuals.jpg";
        EXPECT_FALSE(window.savePlot(jpeg.string()));
        EXPECT_FALSE(std::filesystem::exists(jpeg));
        EXPECT_FALSE(window.savePlot((root.path() / "no-such-folder" / "r.svg").string()));
        EXPECT_FALSE(window.savePlot((root.path() / "no-extension").string()));
    }

    TEST_F(FitDetailsWindowTest, RefinesAsALongRunAndDropsAResultForAnEarlierFit)
    {
        // A runner that keeps the command, as a long run would until its thread gets to it.
        std::function<void()> queued;
        window.setLongRunner([&queued](std::function<void()> command) {
            queued = std::move(command);
            return true;
        });
        window.showFit(true);
        ASSERT_TRUE(queued);
        EXPECT_FALSE(part<QPushButton>("refine")->isEnabled()); // one refinement at a time
        queued();
        EXPECT_EQ(session.form1.StatusBar1[0], ""); // the iteration count is gone at the end
        window.longRunFinished();
        ASSERT_TRUE(window.details() && window.details()->refined);
        EXPECT_TRUE(part<QPushButton>("refine")->isEnabled());

        // A new fit shown while a refinement runs: its end changes nothing.
        queued = nullptr;
        QTest::mouseClick(part<QPushButton>("refine"), Qt::LeftButton);
        ASSERT_TRUE(queued);
        window.showFit(false);
        queued();
        window.longRunFinished();
        EXPECT_FALSE(window.details()->refined);

        // A runner that refuses leaves the window ready to try again.
        window.setLongRunner([](std::function<void()>) { return false; });
        QTest::mouseClick(part<QPushButton>("refine"), Qt::LeftButton);
        EXPECT_TRUE(part<QPushButton>("refine")->isEnabled());
        EXPECT_NE(part<QLabel>("progress")->text().toStdString().find("Busy"), std::string::npos);
    }

    TEST_F(FitDetailsWindowTest, SaysSoWhenThereIsNoFit)
    {
        app::runCommand(session, [&] { app::clearResults(session, app::Route::Menu); });
        window.showFit(true);
        EXPECT_FALSE(window.details());
        EXPECT_NE(part<QLabel>("heading")->text().toStdString().find("No finished fit"),
            std::string::npos);
        EXPECT_FALSE(part<QPushButton>("refine")->isEnabled());
        EXPECT_EQ(window.tablesText(), "");
        EXPECT_FALSE(part<PlotView>("fitPlot")->hasPlot());
    }

    TEST_F(FitDetailsWindowTest, UseRefinedFitPublishesTheRefinementInTheMainWindow)
    {
        root.writeSamples(test::model16Samples());
        app::runCommand(session, [&] { app::selectModel(session, 16); });
        app::runCommand(session, [&] { app::setSampleCountText(session, "30"); });
        session.form1.Text4 = ".5";
        app::runCommand(session, [&] { app::regressionCommand(session, app::Route::Menu); });
        const std::string searchedK1 = session.form1.Label11;
        auto* use = part<QPushButton>("useRefined");
        window.showFit(false);
        EXPECT_FALSE(use->isEnabled()); // nothing refined yet
        window.setRefinedFitPublisher([&](const analysis::Refinement& refined) {
            app::runCommand(session, [&] { app::publishRefinedFit(session, refined); });
        });
        window.showFit(true);
        ASSERT_TRUE(use->isEnabled());
        EXPECT_NE(part<QLabel>("progress")->text().indexOf(QStringLiteral(" from ")), -1);
        // Set QUANTEM_SCREENSHOTS to a folder to keep a picture of the refined details.
        if (const char* folder = std::getenv("QUANTEM_SCREENSHOTS"))
            window.grab().save(QString::fromLocal8Bit(folder) + "/fit-details-use-refined.png");
        QTest::mouseClick(use, Qt::LeftButton);
        EXPECT_NE(session.form1.Label11, searchedK1);
        EXPECT_NE(
            session.form1.Text5.find("refined to the least-squares optimum"), std::string::npos);
        EXPECT_TRUE(session.messages.log().empty());
    }

} // namespace
} // namespace quantem::ui
