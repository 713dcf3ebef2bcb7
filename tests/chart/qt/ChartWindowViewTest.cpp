#include "chart/qt/ChartWindowView.h"

#include "chart/ChartAxes.h"
#include "chart/qt/QtCanvas.h"
#include "core/Session.h"
#include "support/PlantedLink.h"
#include "support/Recording.h"
#include "support/TempRoot.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace quantem::ui::test {
namespace {

    class ChartView : public ::testing::Test
    {
    protected:
        ChartView()
            : session(root.path())
        {
            session.shell = &shell;
            session.questions = &questions;
            root.writeFile("sys/xx.sys", "0,,0,52\r\n");
            // x from -1 to 4, y from 0.5 to 9.5.
            root.writeSamples("2,3.5\r\n-1,0.5\r\n4,9.5\r\n1,2\r\n");
            view = std::make_unique<ChartWindowView>(
                session,
                [this](const std::function<void()>& command) {
                    try {
                        command();
                    } catch (const std::exception& fault) {
                        failures.push_back(fault.what());
                    }
                    view->render();
                },
                chart::MainWindowHooks {});
            chart::openChartWindow(session);
            view->render();
        }

        template <typename Widget = QWidget> Widget* control(const char* name) const
        {
            auto* widget = view->findChild<Widget*>(QString::fromLatin1(name));
            EXPECT_NE(widget, nullptr) << "no control " << name;
            return widget;
        }

        QColor pixelAt(double xTwips, double yTwips) const
        {
            return view->canvas().image().pixelColor(
                static_cast<int>(pixelsOf(xTwips)), static_cast<int>(pixelsOf(yTwips)));
        }

        quantem::test::TempRoot root;
        core::Session session;
        quantem::test::RecordingShell shell;
        quantem::test::ScriptedQuestions questions;
        std::vector<std::string> failures;
        std::unique_ptr<ChartWindowView> view;
    };

    TEST_F(ChartView, RendersTheWindowStateAndNamesItsControlsAsTheWindowDoes)
    {
        EXPECT_TRUE(view->isVisible());
        EXPECT_EQ(view->windowTitle(), QStringLiteral(" Plot"));
        EXPECT_TRUE(control<QRadioButton>("Option4")->isChecked());
        EXPECT_EQ(control<QRadioButton>("Option2")->text(),
            QStringLiteral("Second dimensional data  is X"));
        EXPECT_EQ(control<QRadioButton>("Option5")->text(), QStringLiteral("Scal ceoordinate"));
        for (const char* name : { "Option1", "Option2", "Option3" })
            EXPECT_TRUE(control(name)->isVisible()) << name;
        for (const char* name : { "Label1", "Label2", "Label3", "Text1", "Text2", "Text3" })
            EXPECT_FALSE(control(name)->isVisible()) << name;
        EXPECT_EQ(control<QLineEdit>("Text1")->text(), QStringLiteral("0"));
        EXPECT_EQ(control<QLabel>("Label5")->text(), QStringLiteral("First dimensional data is Y"));
        EXPECT_FALSE(control("Picture1")->isVisible());

        const std::pair<const char*, const char*> items[]
            = { { "XJ", "InputData" }, { "TC", "Close " }, { "chsdt", "DrawPoint " },
                  { "chzxt", "DrawLine" }, { "chmxt", "DrawModel" }, { "cqctx", "Clear " },
                  { "PT", "Print" }, { "pmjt", "CutChart" }, { "qcjt", "ClearCupChart" },
                  { "bcjt", "SaveCupChart" }, { "BZ", "Help" } };
        for (const auto& [name, caption] : items)
            EXPECT_EQ(control<QAction>(name)->text(), QString::fromLatin1(caption)) << name;
        const std::pair<const char*, const char*> buttons[] = { { "Command1", "Setting" },
            { "Command2", "ReSetting" }, { "Command3", "DrawModel " },
            { "Command5", "DrawPoint  " }, { "Command6", "DrawLine " }, { "Command8", "CutChart" },
            { "Command9", "SaveChart" }, { "Command4", "Close" } };
        for (const auto& [name, caption] : buttons)
            EXPECT_EQ(control<QPushButton>(name)->text(), QString::fromLatin1(caption)) << name;
    }

    TEST_F(ChartView, ClicksAndEditsReachTheirCommands)
    {
        root.writeFile("sys/xx.sys", "2,3,3,20\r\n");
        control<QRadioButton>("Option2")->click();
        EXPECT_TRUE(session.form2.Option2);
        EXPECT_FALSE(control("Option1")->isVisible());
        EXPECT_TRUE(control("Label1")->isVisible());
        EXPECT_TRUE(control("Text1")->isVisible());

        QLineEdit* text1 = control<QLineEdit>("Text1");
        text1->selectAll();
        text1->insert(QStringLiteral("2.5"));
        EXPECT_EQ(session.form2.Text1, "2.5");

        control<QRadioButton>("Option6")->click();
        EXPECT_TRUE(session.form2.Option6 && !session.form2.Option4);

        control<QPushButton>("Command5")->click();
        EXPECT_EQ(session.messages.log().back().text, "Please do regression the calculation.");

        control<QPushButton>("Command2")->click();
        EXPECT_TRUE(control("Option1")->isVisible());
        EXPECT_FALSE(control("Label1")->isVisible());
        // A state with no X option chosen shows none chosen.
        session.form2.Option2 = false;
        view->render();
        EXPECT_FALSE(control<QRadioButton>("Option2")->isChecked());
    }

    TEST_F(ChartView, DrawBringsAShownWindowBackToTheFront)
    {
        ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
        // Another window comes on top, as the main window does after a save dialog.
        QWidget other;
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        ASSERT_TRUE(view->isVisible());

        chart::openChartWindow(session);
        view->render();
        EXPECT_TRUE(QTest::qWaitForWindowActive(view.get(), 2000));
    }

    TEST_F(ChartView, PointsAndAxesLandOnTheCanvasImage)
    {
        session.form1.Text2 = "4";
        session.form1.Text5 = "report";
        control<QAction>("chsdt")->trigger();
        ASSERT_TRUE(failures.empty());
        // The top-right sample (4, 9.5) sits on the plot corner; the axis line is red.
        EXPECT_EQ(pixelAt(11580, 300), QColor(0, 0, 255));
        // Drawn smoothly: the axis a third of a pixel off the pixel grid shows mostly red.
        const QColor axis = pixelAt(6000, 7730);
        EXPECT_EQ(axis.red(), 255);
        EXPECT_LT(axis.green(), 64);
        EXPECT_EQ(axis.green(), axis.blue());
        EXPECT_EQ(control<QLabel>("Label7")->text(), QStringLiteral("0(-1,0.5)"));

        control<QAction>("cqctx")->trigger();
        EXPECT_EQ(pixelAt(11580, 300), QColor(Qt::white));
        EXPECT_EQ(control<QLabel>("Label7")->text(), QString());
    }

    TEST_F(ChartView, TheFittedPlanetsAreDrawnSmoothly)
    {
        root.writeFile("sys/xx.sys", "1,1,1,7\r\n");
        root.writeFile("sys/XB.sys", "0.0027917112151123373,0.9993961577036723,1.5\r\n");
        root.writeSamples("0.387,0.241\r\n0.723,0.615\r\n1,1\r\n1.524,1.881\r\n"
                          "5.203,11.862\r\n9.537,29.457\r\n19.191,84.011\r\n30.069,164.79\r\n");
        session.form1.Text2 = "8";
        session.form1.Text5 = "report";
        control<QRadioButton>("Option1")->click();
        control<QAction>("chsdt")->trigger();
        control<QAction>("chmxt")->trigger();
        ASSERT_TRUE(failures.empty());
        ASSERT_TRUE(session.messages.log().empty());

        // Smooth edges leave colours between the chart's own and the white ground.
        const QImage& image = view->canvas().image();
        int blended = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                const bool own = c == QColor(Qt::white) || c == QColor(255, 0, 0)
                    || c == QColor(200, 200, 100) || c == QColor(0, 0, 255)
                    || c == QColor(0, 100, 0) || c == QColor(Qt::black);
                blended += own ? 0 : 1;
            }
        EXPECT_GT(blended, 1000);

        // Set QUANTEM_SCREENSHOTS to a folder to keep a picture of the window.
        if (const char* folder = std::getenv("QUANTEM_SCREENSHOTS"))
            view->grab().save(QString::fromLocal8Bit(folder) + "/chart-window.png");
    }

    TEST(QtCanvas, DrawsLinesPointsAndTextAndSurvivesFarAwayPositions)
    {
        QtCanvas canvas(1500, 1500); // 100 × 100 pixels
        // Positions at pixel centres (7.5 twips into a pixel), so smoothing leaves full colour.
        canvas.line(0, 757.5, 1500, 757.5, core::Colour { 0, 100, 0 }, 1);
        EXPECT_EQ(canvas.image().pixelColor(50, 50), QColor(0, 100, 0));
        // A line from far off the surface is cut to what shows.
        canvas.line(-1e12, 307.5, 1e12, 307.5, core::Colour { 255, 0, 255 }, 1);
        EXPECT_EQ(canvas.image().pixelColor(70, 20), QColor(255, 0, 255));
        canvas.line(-1e300, -1e300, -1e299, 1e300, core::Colour { 1, 2, 3 }, 1);
        canvas.point(1e200, 5, core::Colour { 1, 2, 3 }, 3);
        // A sample point is a filled circle seven pixels across.
        canvas.point(457.5, 1207.5, core::Colour { 0, 0, 255 }, 3);
        for (const QPoint inside :
            { QPoint(30, 80), QPoint(32, 80), QPoint(28, 80), QPoint(30, 82), QPoint(31, 81) })
            EXPECT_EQ(canvas.image().pixelColor(inside), QColor(0, 0, 255)) << inside.x();
        for (const QPoint outside : { QPoint(35, 80), QPoint(30, 85), QPoint(33, 83) })
            EXPECT_EQ(canvas.image().pixelColor(outside), QColor(Qt::white)) << outside.x();
        canvas.text(0, 0, "Y", core::Colour { 0, 0, 0 });
        bool inked = false;
        for (int x = 0; x < 15 && !inked; ++x)
            for (int y = 0; y < 15 && !inked; ++y)
                inked = canvas.image().pixelColor(x, y) != QColor(Qt::white);
        EXPECT_TRUE(inked);
        canvas.clear();
        EXPECT_EQ(canvas.image().pixelColor(50, 50), QColor(Qt::white));
    }

    TEST(QtCanvas, TheCurveLiesOverThePointsAndLabelsClearTheYAxis)
    {
        QtCanvas canvas(12450, 8400);
        // The curve drawn first still shows over a point drawn after it.
        canvas.line(3000, 4507.5, 6000, 4507.5, chart::kCurveColour, 1);
        canvas.point(4507.5, 4507.5, chart::kPointColour, 3);
        EXPECT_EQ(canvas.image().pixelColor(300, 300), QColor(0, 100, 0));
        EXPECT_EQ(canvas.image().pixelColor(300, 302), QColor(0, 0, 255));

        // A Y tick label too long for the room left of the axis moves left, clear of it.
        canvas.line(2930, 300, 2930, 7880, chart::kAxisColour, 1);
        canvas.text(2480, 1000, "-12345678.99", chart::kTextColour);
        const int axis = static_cast<int>(pixelsOf(2930));
        int rightmostInk = -1;
        int leftmostInk = 10000;
        for (int y = 66; y < 82; ++y) {
            for (int x = 0; x < axis - 1; ++x) {
                if (canvas.image().pixelColor(x, y) != QColor(Qt::white)) {
                    rightmostInk = std::max(rightmostInk, x);
                    leftmostInk = std::min(leftmostInk, x);
                }
            }
        }
        EXPECT_GE(rightmostInk, 0);
        EXPECT_LT(rightmostInk, axis - 1);
        EXPECT_LT(leftmostInk, static_cast<int>(pixelsOf(2480))); // it did have to move
        for (int y = 66; y < 82; ++y)
            EXPECT_EQ(canvas.image().pixelColor(axis + 2, y), QColor(Qt::white)) << y;
    }

    TEST(QtCanvas, PicturesConvertToImagesAndBackUnchanged)
    {
        core::Picture picture { 3, 2,
            { 0xff010203u, 0xff102030u, 0xffffffffu, 0xff000000u, 0xffa0b0c0u, 0xff0a0b0cu } };
        const QImage image = imageOf(picture);
        EXPECT_EQ(image.pixelColor(1, 0), QColor(0x10, 0x20, 0x30));
        EXPECT_EQ(image.pixelColor(1, 1), QColor(0xa0, 0xb0, 0xc0));
        EXPECT_EQ(pictureOf(image), picture);
    }

    TEST_F(ChartView, CutChartIsShownSavedAsBitmapAndClosedWithTheWindow)
    {
        control<QAction>("pmjt")->trigger();
        ASSERT_TRUE(session.form2.Picture1.has_value());
        EXPECT_GE(session.form2.Picture1->width, view->width());
        EXPECT_TRUE(control("Picture1")->isVisible());
        EXPECT_FALSE(control<QLabel>("Picture1")->pixmap().isNull());

        const std::filesystem::path saved = root.path() / "chart";
        questions.fileNames = { saved };
        control<QPushButton>("Command9")->click();
        QFile file(QString::fromStdString(saved.string() + ".BMP"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.read(2), QByteArray("BM"));
        const QImage back(QString::fromStdString(saved.string() + ".BMP"), "BMP");
        EXPECT_EQ(back.width(), session.form2.Picture1->width);
        EXPECT_EQ(back.height(), session.form2.Picture1->height);

        control<QAction>("qcjt")->trigger();
        EXPECT_TRUE(control<QLabel>("Picture1")->pixmap().isNull());

        view->close();
        EXPECT_FALSE(view->isVisible());
        EXPECT_FALSE(session.form2.loaded);
    }

    TEST_F(ChartView, ExportAndSaveRefuseALinkPlantedAtTheChosenName)
    {
        control<QAction>("pmjt")->trigger(); // a cut chart to save
        ASSERT_TRUE(session.form2.Picture1.has_value());
        const quantem::test::PlantedLink exported(root.path() / "chart.png", root.path() / "mine");
        const quantem::test::PlantedLink saved(root.path() / "chart.bmp", root.path() / "theirs");
        const std::size_t shown = session.messages.log().size();
        questions.fileNames = { exported.path(), saved.path() };
        control<QPushButton>("Command10")->click();
        control<QPushButton>("Command9")->click();
        const std::vector<core::Showing>& log = session.messages.log();
        ASSERT_EQ(log.size(), shown + 2);
        for (std::size_t i = shown; i < log.size(); ++i) {
            EXPECT_EQ(log[i].text, "The chart could not be written !");
            EXPECT_NE(log[i].reason.find("symbolic link"), std::string::npos) << log[i].reason;
        }
        EXPECT_NE(session.form1.StatusBar1[0].find(saved.path().string()), std::string::npos);

        // The writers refuse it themselves, should a link be planted after the command looked.
        EXPECT_FALSE(view->exportChart(exported.path(), chart::ExportFormat::Png));
        EXPECT_FALSE(view->savePicture(*session.form2.Picture1, saved.path()));
        EXPECT_EQ(exported.damage(), "");
        EXPECT_EQ(saved.damage(), "");
    }

    TEST_F(ChartView, PrintingPutsTheWindowOnThePage)
    {
        QImage page(400, 600, QImage::Format_RGB32);
        page.fill(Qt::white);
        QImage window(200, 100, QImage::Format_RGB32);
        window.fill(QColor(10, 20, 30));
        {
            QPainter painter(&page);
            paintWindowPage(painter, window, QRect(0, 0, 400, 600));
        }
        // Scaled to the page width, proportions kept, from the top-left corner.
        EXPECT_EQ(page.pixelColor(399, 199), QColor(10, 20, 30));
        EXPECT_EQ(page.pixelColor(10, 205), QColor(Qt::white));

        const std::filesystem::path pdf = root.path() / "chart.pdf";
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        ASSERT_TRUE(view->printTo(printer));
        QFile file(QString::fromStdString(pdf.string()));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.read(4), QByteArray("%PDF"));
        EXPECT_GT(file.size(), 1000);
    }

    TEST_F(ChartView, FitsASmallScreenAndTheDrawingFollowsTheWindowsSize)
    {
        // Room for the title bar on a 1024x768 screen.
        const QSize smallest = view->minimumSizeHint();
        EXPECT_LE(smallest.width(), 1024);
        EXPECT_LE(smallest.height(), 768 - 40);

        auto* surface = control("Surface");
        session.form1.Text2 = "4";
        session.form1.Text5 = "report";
        control<QAction>("chsdt")->trigger();
        ASSERT_TRUE(failures.empty());
        view->resize(view->sizeHint());
        QCoreApplication::processEvents();
        // At its own size the window shows the drawing pixel for pixel.
        EXPECT_EQ(surface->size(), view->canvas().image().size());
        // The drawing keeps to the top, in the middle of any room beside it.
        const auto sampleAt = [surface, this](double scale) {
            const double left = (surface->width() - view->canvas().image().width() * scale) / 2.0;
            return surface->grab().toImage().pixelColor(
                static_cast<int>(left + pixelsOf(11580) * scale),
                static_cast<int>(pixelsOf(300) * scale));
        };
        EXPECT_EQ(sampleAt(1.0), QColor(0, 0, 255));
        const QPoint labelAtFullSize = control("Label7")->geometry().topRight();

        view->resize(smallest);
        QCoreApplication::processEvents();
        const QSize full = view->canvas().image().size();
        const double scale = std::min(static_cast<double>(surface->width()) / full.width(),
            static_cast<double>(surface->height()) / full.height());
        ASSERT_LT(scale, 0.8);
        // The top-right sample, blue, is still at its place on the smaller drawing.
        const QColor sample = sampleAt(scale);
        EXPECT_GT(sample.blue(), sample.red() + 100);
        const QPoint label = control("Label7")->geometry().topRight();
        EXPECT_NEAR(label.y(), labelAtFullSize.y() * scale, 2.0);
    }

    TEST_F(ChartView, PrintWithoutAPrinterOffersThePrintDialog)
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            GTEST_SKIP() << "this machine has a printer";
        const std::filesystem::path pdf = root.path() / "chart.pdf";
        const auto answer = [&pdf](bool accept) {
            QTimer::singleShot(0, [&pdf, accept] {
                auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
                ASSERT_NE(dialog, nullptr);
                if (!accept)
                    return dialog->reject();
                if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("filename")))
                    name->setText(QString::fromStdString(pdf.string()));
                dialog->accept();
            });
        };
        answer(false);
        EXPECT_EQ(view->printWindow(), chart::ChartExport::PrintOutcome::Cancelled);
        EXPECT_FALSE(std::filesystem::exists(pdf));

        answer(true);
        EXPECT_EQ(view->printWindow(), chart::ChartExport::PrintOutcome::Printed);
        QFile file(QString::fromStdString(pdf.string()));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.read(4), QByteArray("%PDF"));
    }

} // namespace
} // namespace quantem::ui::test
