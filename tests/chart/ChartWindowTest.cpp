#include "chart/ChartWindow.h"

#include "chart/ChartAxes.h"
#include "chart/ChartFixture.h"
#include "core/Fault.h"
#include "support/Expect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace quantem::chart::test {
namespace {

    using quantem::test::CanvasCall;

    /// Capture, save and print as the desktop would do them, recorded.
    class FakeExport : public ChartExport
    {
    public:
        core::Picture captureWindow() override
        {
            ++captures;
            return picture;
        }
        bool savePicture(const core::Picture& saved, const std::filesystem::path& path) override
        {
            savedPaths.push_back(path.string());
            savedPictures.push_back(saved);
            return saveSucceeds;
        }
        PrintOutcome printWindow() override
        {
            ++prints;
            return printOutcome;
        }
        void messageBox(const std::string& text) override { boxes.push_back(text); }

        core::Picture picture { 2, 1, { 0xff102030u, 0xffa0b0c0u } };
        int captures = 0;
        std::vector<std::string> savedPaths;
        std::vector<core::Picture> savedPictures;
        bool saveSucceeds = true;
        bool exportChart(const std::filesystem::path& path, ExportFormat format) override
        {
            const char* names[] = { "png", "svg", "pdf" };
            exported.push_back(path.string() + " " + names[static_cast<int>(format)]);
            return exportSucceeds;
        }
        std::vector<std::string> exported;
        bool exportSucceeds = true;
        int prints = 0;
        PrintOutcome printOutcome = PrintOutcome::Printed;
        std::vector<std::string> boxes;
    };

    // The data value of a curve point, taken back from its screen position.
    double dataX(const CanvasCall& line, double xMin, double xMax)
    {
        return xMin + (line.x2 - 2930.0) * (xMax - xMin) / 8650.0;
    }
    double screenY(double y, double yMin, double yMax)
    {
        return 7730.0 - (y - yMin) * 7430.0 / (yMax - yMin);
    }

    class ChartWindow : public ChartTest
    {
    protected:
        ChartWindow() { openChartWindow(session); }

        std::vector<CanvasCall> curve() const { return canvas.lines(kCurveColour); }

        void expectCurve(double xMin, double xMax, double yMin, double yMax,
            const std::function<double(double)>& y) const
        {
            const std::vector<CanvasCall> lines = curve();
            ASSERT_FALSE(lines.empty());
            for (std::size_t i = 0; i < lines.size(); i += 97) {
                const double x = dataX(lines[i], xMin, xMax);
                EXPECT_NEAR_REL(lines[i].y2, screenY(y(x), yMin, yMax), 1e-9) << i;
            }
            for (std::size_t i = 1; i < lines.size(); ++i) {
                EXPECT_EQ(lines[i].x1, lines[i - 1].x2);
                EXPECT_EQ(lines[i].y1, lines[i - 1].y2);
            }
        }

        FakeExport exporter;
    };

    TEST_F(ChartWindow, DrawOpensAFreshWindowAndKeepsItsSettingsUntilItIsClosed)
    {
        core::Form2& form = session.form2;
        EXPECT_TRUE(form.loaded && form.visible);
        EXPECT_TRUE(form.Option4 && !form.Option5 && !form.Option6);
        EXPECT_FALSE(form.Option1 || form.Option2 || form.Option3);
        EXPECT_EQ(form.Text1 + form.Text2 + form.Text3, "000");
        EXPECT_EQ(form.Label5, "First dimensional data is Y");

        chooseModel("2,3,3,20");
        chooseXColumn(session, 1);
        editFixedValue(session, 2, "2.75");
        chooseAxisStyle(session, canvas, AxisStyle::Plain);
        ASSERT_TRUE(form.Label2Visible && !form.Option2Visible);

        openChartWindow(session);
        EXPECT_TRUE(form.Option1 && form.Option6);
        EXPECT_EQ(form.Text2, "2.75");
        // Drawing again hides the fixed-value fields and offers every X option.
        EXPECT_FALSE(form.Label2Visible || form.Text2Visible);
        EXPECT_TRUE(form.Option1Visible && form.Option2Visible && form.Option3Visible);

        closeChartWindow(session, canvas);
        EXPECT_FALSE(form.loaded || form.visible);
        EXPECT_EQ(canvas.calls.back().kind, CanvasCall::Kind::Clear);
        openChartWindow(session);
        EXPECT_FALSE(form.Option1);
        EXPECT_TRUE(form.Option4);
        EXPECT_EQ(form.Text2, "0");
    }

    TEST_F(ChartWindow, ChoosingTheXColumnShowsTheFixedValuesTheCurveNeeds)
    {
        core::Form2& form = session.form2;
        chooseModel("1,1,1,7");
        chooseXColumn(session, 1);
        EXPECT_TRUE(form.Option1);
        EXPECT_TRUE(form.Option2Visible && form.Option3Visible);
        EXPECT_FALSE(form.Label1Visible || form.Label2Visible || form.Label3Visible);

        chooseModel("2,3,3,20");
        chooseXColumn(session, 1);
        EXPECT_FALSE(form.Option2Visible);
        EXPECT_TRUE(form.Option1Visible);
        EXPECT_TRUE(form.Label2Visible && form.Text2Visible);
        EXPECT_FALSE(form.Label1Visible || form.Label3Visible || form.Text3Visible);

        resettingCommand(session, canvas);
        chooseXColumn(session, 2);
        EXPECT_TRUE(form.Option2 && !form.Option1);
        EXPECT_FALSE(form.Option1Visible);
        EXPECT_TRUE(form.Label1Visible && form.Text1Visible);
        EXPECT_FALSE(form.Label2Visible || form.Label3Visible);

        resettingCommand(session, canvas);
        chooseModel("3,3,3,40");
        chooseXColumn(session, 2);
        EXPECT_FALSE(form.Option1Visible || form.Option3Visible);
        EXPECT_TRUE(
            form.Label1Visible && form.Label3Visible && form.Text1Visible && form.Text3Visible);
        EXPECT_FALSE(form.Label2Visible);
    }

    TEST_F(ChartWindow, ResettingClearingAndAStyleChangeWipeTheDrawing)
    {
        core::Form2& form = session.form2;
        chooseModel("2,3,3,20");
        chooseXColumn(session, 1);
        form.Label7 = "0(1,2)";
        form.Picture1Visible = true;
        resettingCommand(session, canvas);
        EXPECT_EQ(canvas.calls.back().kind, CanvasCall::Kind::Clear);
        EXPECT_EQ(form.Label7, "");
        EXPECT_FALSE(form.Picture1Visible);
        EXPECT_FALSE(form.Label2Visible || form.Text2Visible);
        EXPECT_TRUE(form.Option1Visible && form.Option2Visible && form.Option3Visible);

        form.Label7 = "0(1,2)";
        form.Picture1Visible = true;
        canvas.line(0, 0, 1, 1, kAxisColour, 1);
        clearCommand(session, canvas);
        EXPECT_EQ(canvas.calls.back().kind, CanvasCall::Kind::Clear);
        EXPECT_EQ(form.Label7, "");
        EXPECT_FALSE(form.Picture1Visible);

        form.Label7 = "0(1,2)";
        canvas.line(0, 0, 1, 1, kAxisColour, 1);
        chooseAxisStyle(session, canvas, AxisStyle::Scale);
        EXPECT_EQ(canvas.calls.back().kind, CanvasCall::Kind::Clear);
        EXPECT_EQ(form.Label7, "");
        EXPECT_TRUE(form.Option5 && !form.Option4 && !form.Option6);

        // The style takes effect at the next drawing.
        chooseModel("1,1,1,7");
        root.writeSamples("1,2,3,4\r\n");
        fitted("2");
        canvas.calls.clear();
        drawPointsCommand(session, canvas);
        EXPECT_TRUE(canvas.lines(kGridColour).empty());
        EXPECT_EQ(canvas.lines(kAxisColour).size(), 3u + 10u + 3u + 10u);

        // "Setting" sets the Y caption.
        settingCommand(session);
        EXPECT_EQ(form.Label5, "Secondly  Dimensional data is Y");
    }

    TEST_F(ChartWindow, InputDataResetsTheMainWindowAndHandsOverToItsDataInput)
    {
        session.form1.Text1 = "1";
        session.form1.Text3 = "2";
        session.form1.Text4 = ".5";
        session.form1.Text5 = "";
        std::vector<std::string> sampleCounts;
        std::string filesAtHandOver;
        int handOvers = 0;
        MainWindowHooks hooks;
        hooks.setSampleCountText = [&](const std::string& text) { sampleCounts.push_back(text); };
        hooks.dataInput = [&] {
            ++handOvers;
            filesAtHandOver
                = root.readSys("JC.sys") + root.readSys("culi.sys") + root.readSys("jb.sys");
        };
        inputDataCommand(session, hooks);

        EXPECT_EQ(handOvers, 1);
        EXPECT_EQ(sampleCounts, (std::vector<std::string> { "" }));
        EXPECT_EQ(filesAtHandOver, "98500000000000\r\n0,0,0,0,0\r\n1\r\n");
        const core::Form1& form = session.form1;
        EXPECT_EQ(form.Text1 + form.Text3 + form.Text4, "");
        EXPECT_EQ(form.Label10, "State of regression analysis ");
        for (int number = 11; number <= 16; ++number)
            EXPECT_EQ(form.label(number), "1") << number;
        EXPECT_EQ(form.Label17, " ");
    }

    TEST_F(ChartWindow, InputDataWithAReportAsksBeforeEmptyingAnything)
    {
        session.form1.Text2 = "8";
        session.form1.Text5 = "report";
        session.form1.Label11 = "1.5";
        std::string reportAtHandOver = "<not handed over>";
        MainWindowHooks hooks;
        hooks.setSampleCountText = [&](const std::string& text) { session.form1.Text2 = text; };
        hooks.dataInput = [&] { reportAtHandOver = session.form1.Text5; };
        inputDataCommand(session, hooks);

        // The main window's data input must still see the report, so it can offer to save it.
        EXPECT_EQ(reportAtHandOver, "report");
        EXPECT_EQ(session.form1.Text2, "8");
        EXPECT_EQ(session.form1.Label11, "1.5");
        EXPECT_EQ(root.readSys("JC.sys"), "<missing>");
        EXPECT_EQ(root.readSys("culi.sys"), "<missing>");
    }

    TEST_F(ChartWindow, ModelDrawingIsRefusedWithTheRightMessage)
    {
        session.form2.Picture1Visible = true;
        chooseModel("0,,0,51");
        drawModelCommand(session, canvas);
        EXPECT_EQ(lastMessage(), "Form9:Can't draw five Dimensional picture.");
        EXPECT_FALSE(session.form2.Picture1Visible);

        chooseModel("1,1,1,7");
        drawModelCommand(session, canvas);
        EXPECT_EQ(lastMessage(), "Form9:Please do regression the calculation.");

        fitted("4");
        dismissMessages();
        drawModelCommand(session, canvas);
        EXPECT_EQ(lastMessage(), "Form9:Choose the X coordinate axis !");

        chooseXColumn(session, 1);
        drawModelCommand(session, canvas);
        EXPECT_EQ(lastMessage(), "Form5:Have no data !");

        root.writeSamples("1,2\r\n3,4\r\n5,6\r\n");
        dismissMessages();
        drawModelCommand(session, canvas);
        EXPECT_EQ(lastMessage(), "Form5:   Input error !");
        EXPECT_TRUE(canvas.calls.empty());
    }

    TEST_F(ChartWindow, ModelCurveOfACatalogueModelIsDrawnOverTheSampleRange)
    {
        chooseModel("1,1,1,7");
        root.writeSamples("1.5,2.5\r\n2,3.8\r\n4.5,6.1\r\n3,5\r\n");
        root.writeFile("sys/XB.sys", "0.5,1.25,1.15\r\n0.99,120,0.3\r\n");
        fitted("4");
        chooseXColumn(session, 1);
        drawModelCommand(session, canvas);

        EXPECT_TRUE(session.messages.log().empty());
        EXPECT_EQ(session.form2.Label7, "0(1.5,2.5)");
        EXPECT_FALSE(canvas.texts().empty());
        const std::vector<CanvasCall> lines = curve();
        ASSERT_GE(lines.size(), 2999u);
        ASSERT_LE(lines.size(), 3000u);
        EXPECT_NEAR_REL(lines.front().x1, 2930.0 + 8650.0 / 3000.0, 1e-12);
        EXPECT_GE(lines.back().x2, 11580.0 - 1e-9);
        EXPECT_EQ(lines.front().width, 1);
        expectCurve(1.5, 4.5, 2.5, 6.1, [](double x) { return 0.5 + 1.25 * std::pow(x, 1.15); });
        // The axes come before the curve.
        EXPECT_EQ(canvas.calls.back().colour, kCurveColour);
        EXPECT_EQ(canvas.calls.front().colour, kAxisColour);
    }

    TEST_F(ChartWindow, ThreeNumberModelHoldsX1AtItsSingleValueWhileX2Runs)
    {
        // Model 20: y = a0 + a1 * x1 ^ k1 + a2 * x2 ^ k2 + a3 * x1 ^ k3 * Log(x2).
        chooseModel("2,3,3,20");
        root.writeSamples("7,1.5,10\r\n9,2.5,30\r\n8,4,20\r\n");
        root.writeFile("sys/XB.sys", "1,20,0.5,3,1,2,1\r\n");
        fitted("3");
        chooseXColumn(session, 2);
        editFixedValue(session, 1, "0.1");
        drawModelCommand(session, canvas);

        ASSERT_TRUE(session.messages.log().empty()) << lastMessage();
        const double x1 = static_cast<double>(0.1f);
        expectCurve(1.5, 4.0, 10.0, 30.0, [x1](double x2) {
            return 1.0 + 20.0 * std::pow(x1, 1.0) + 0.5 * std::pow(x2, 2.0)
                + 3.0 * std::pow(x1, 1.0) * std::log(x2);
        });
    }

    TEST_F(ChartWindow, AHeldValueThatIsNotANumberDrawsNoCurveAndSaysWhy)
    {
        chooseModel("2,3,3,20");
        root.writeSamples("7,1.5,10\r\n9,2.5,30\r\n8,4,20\r\n");
        root.writeFile("sys/XB.sys", "1,20,0.5,3,1,2,1\r\n");
        fitted("3");
        chooseXColumn(session, 2);
        for (const char* text : { "abc", "", "0.1x", "1e999" }) {
            editFixedValue(session, 1, text);
            drawModelCommand(session, canvas);
            EXPECT_EQ(session.form2.StatusBar,
                std::string("Input First dimensional data: \"") + text + "\" is not a number.");
            EXPECT_TRUE(curve().empty()) << text;
        }
        EXPECT_TRUE(session.messages.log().empty());

        // A number, blanks around it allowed, draws and clears the status; a box that is not
        // shown is not read.
        editFixedValue(session, 1, " 0.1 ");
        editFixedValue(session, 3, "not shown");
        drawModelCommand(session, canvas);
        EXPECT_EQ(session.form2.StatusBar, "");
        EXPECT_FALSE(curve().empty());
    }

    TEST_F(ChartWindow, CurveFailuresStopTheCurveAndAreTold)
    {
        chooseModel("1,1,0,8");
        root.writeSamples("-1,0.5\r\n2,3\r\n4,5\r\n");
        root.writeFile("sys/XB.sys", "1,2\r\n");
        fitted("3");
        chooseXColumn(session, 1);
        drawModelCommand(session, canvas);
        EXPECT_EQ(lastMessage(), "Form5:Nullity parameter !");
        EXPECT_TRUE(curve().empty());
        EXPECT_FALSE(canvas.texts().empty());

        chooseModel("1,1,0,9");
        root.writeSamples("0,1\r\n1000,2\r\n");
        fitted("2");
        drawModelCommand(session, canvas);
        EXPECT_EQ(lastMessage(), "Form5:Calculate overflow ! ");
        EXPECT_GT(curve().size(), 1000u);
        EXPECT_LT(curve().size(), 3000u);

        // Two-number data has no third column: its range is empty.
        canvas.calls.clear();
        chooseXColumn(session, 3);
        drawModelCommand(session, canvas);
        EXPECT_EQ(lastMessage(), "Form5:Calculate overflow ! ");
        EXPECT_TRUE(curve().empty());
    }

    TEST_F(ChartWindow, MissingCoefficientsEndTheCommandAfterTheAxes)
    {
        chooseModel("1,1,1,7");
        root.writeSamples("1,2\r\n3,4\r\n");
        fitted("2");
        chooseXColumn(session, 1);
        try {
            drawModelCommand(session, canvas);
            ADD_FAILURE() << "drawn without XB.sys";
        } catch (const core::Fault& fault) {
            EXPECT_EQ(fault.code(), core::FaultCode::FileNotFound);
        }
        EXPECT_FALSE(canvas.texts().empty());
        EXPECT_TRUE(curve().empty());
    }

    TEST_F(ChartWindow, PolynomialCurveComesFromHgbAndLeavesTheXOptionsOff)
    {
        chooseModel("0,,0,52");
        root.writeSamples("-0.5,2\r\n3,4\r\n1,-1\r\n4,7\r\n");
        root.writeFile("sys/hgb.sys", "1.5\r\n-2.25\r\n0.75\r\n");
        fitted("4");
        session.form1.Text4 = "2";
        chooseXColumn(session, 1);
        drawModelCommand(session, canvas);

        ASSERT_TRUE(session.messages.log().empty()) << lastMessage();
        expectCurve(-0.5, 4.0, -1.0, 7.0, [](double x) { return 1.5 + -2.25 * x + 0.75 * x * x; });
        EXPECT_FALSE(session.form2.Option1 || session.form2.Option2);
        drawModelCommand(session, canvas);
        EXPECT_EQ(lastMessage(), "Form9:Choose the X coordinate axis !");

        root.writeFile("sys/hgb.sys", "0\r\n0\r\n1E+308\r\n");
        chooseXColumn(session, 1);
        drawModelCommand(session, canvas);
        EXPECT_EQ(lastMessage(), "Form5:  溢出");
    }

    TEST_F(ChartWindow, ACutChartIsSavedAsABitmapWhereTheUserChooses)
    {
        core::Form2& form = session.form2;
        // Nothing cut yet: told at once, no file name asked for.
        questions.fileNames = { "/tmp/nothing.bmp" };
        saveChart(session, exporter);
        EXPECT_FALSE(form.Picture1Visible); // no empty picture box over the drawing
        EXPECT_EQ(lastMessage(), "Form5:  No cut chart!");
        EXPECT_TRUE(questions.asked.empty());
        EXPECT_TRUE(exporter.savedPaths.empty());

        cutChart(session, exporter);
        EXPECT_TRUE(form.Picture1Visible);
        ASSERT_TRUE(form.Picture1.has_value());
        EXPECT_EQ(*form.Picture1, exporter.picture);

        questions.fileNames.clear();
        saveChart(session, exporter);
        EXPECT_EQ(
            questions.asked, (std::vector<std::string> { "save Bitmap Image (*.bmp)|*.bmp .BMP" }));
        EXPECT_EQ(session.messages.log().size(), 1u); // cancelled: nothing written, nothing said
        EXPECT_TRUE(exporter.savedPaths.empty());

        questions.fileNames = { "/tmp/chart", "/tmp/chart.bmp", "/tmp/chart.png" };
        saveChart(session, exporter);
        saveChart(session, exporter);
        saveChart(session, exporter);
        EXPECT_EQ(exporter.savedPaths,
            (std::vector<std::string> { "/tmp/chart.BMP", "/tmp/chart.bmp", "/tmp/chart.png" }));
        EXPECT_EQ(exporter.savedPictures.front(), exporter.picture);

        exporter.saveSucceeds = false;
        questions.fileNames = { "/tmp/chart.bmp" };
        saveChart(session, exporter);
        EXPECT_EQ(lastMessage(), "Form5:The chart could not be written !");

        clearCutChart(session);
        EXPECT_TRUE(form.Picture1Visible);
        EXPECT_FALSE(form.Picture1.has_value());
        questions.fileNames = { "/tmp/chart.bmp" };
        const std::size_t saved = exporter.savedPaths.size();
        const std::size_t asked = questions.asked.size();
        saveChart(session, exporter);
        EXPECT_EQ(lastMessage(), "Form5:  No cut chart!");
        EXPECT_EQ(exporter.savedPaths.size(), saved);
        EXPECT_EQ(questions.asked.size(), asked);
    }

    TEST_F(ChartWindow, ExportWritesTheDrawingInTheFormatItsNameNames)
    {
        questions.fileNames = { "/tmp/fit", "/tmp/fit.SVG", "/tmp/fit.pdf", "/tmp/fit.jpg" };
        for (int i = 0; i < 4; ++i)
            exportChartCommand(session, exporter);
        EXPECT_EQ(questions.asked.front(),
            "save PNG image (*.png)|*.png|SVG drawing (*.svg)|*.svg|PDF document (*.pdf)|*.pdf "
            ".png");
        EXPECT_EQ(exporter.exported,
            (std::vector<std::string> {
                "/tmp/fit.png png", "/tmp/fit.SVG svg", "/tmp/fit.pdf pdf" }));
        ASSERT_EQ(session.messages.log().size(), 1u);
        EXPECT_EQ(lastMessage(), "Form5:The chart could not be written !");
        EXPECT_NE(session.form1.StatusBar1[0].find("\"fit.jpg\""), std::string::npos);
        EXPECT_EQ(exporter.captures, 0); // drawn, never captured from the screen

        exporter.exportSucceeds = false;
        questions.fileNames = { "/tmp/fit.png" };
        exportChartCommand(session, exporter);
        EXPECT_EQ(session.messages.log().size(), 2u);
        exportChartCommand(session, exporter); // cancelled
        EXPECT_EQ(session.messages.log().size(), 2u);
    }

    TEST_F(ChartWindow, APlotOfTheFitShowsPointsUnderTheCurveOnGridAxes)
    {
        root.writeFile("sys/xx.sys", "1,1,1,7\r\n");
        root.writeFile("sys/XB.sys", "0,1,1.5\r\n");
        root.writeSamples("1,1\r\n4,8\r\n2.25,3.375\r\n");
        session.form1.Text2 = "3";
        session.form1.Text5 = "report";
        session.form2.Option6 = true;
        session.form2.Option4 = false;
        canvas.point(1.0, 1.0, core::Colour { 9, 9, 9 }, 3); // an earlier drawing is wiped
        plotFit(session, canvas);
        ASSERT_GE(canvas.calls.size(), 2u);
        EXPECT_EQ(canvas.calls[1].kind, CanvasCall::Kind::Clear);
        EXPECT_TRUE(session.messages.log().empty());
        EXPECT_TRUE(session.form2.Option1 && session.form2.Option4);
        EXPECT_EQ(canvas.points(kPointColour).size(), 3u);
        EXPECT_GT(canvas.lines(kCurveColour).size(), 2900u);
        EXPECT_FALSE(canvas.lines(kGridColour).empty());
    }

    TEST_F(ChartWindow, PrintingHidesThePictureBoxAndTellsOnlyAFailure)
    {
        session.form2.Picture1Visible = true;
        printChart(session, exporter);
        EXPECT_FALSE(session.form2.Picture1Visible);
        exporter.printOutcome = ChartExport::PrintOutcome::Cancelled;
        printChart(session, exporter);
        EXPECT_TRUE(exporter.boxes.empty());
        exporter.printOutcome = ChartExport::PrintOutcome::Failed;
        printChart(session, exporter);
        EXPECT_EQ(exporter.prints, 3);
        EXPECT_EQ(exporter.boxes, (std::vector<std::string> { "Print error !" }));
        EXPECT_TRUE(session.messages.log().empty());
    }

    TEST_F(ChartWindow, HelpOpensTheHelpPage)
    {
        openChartHelp(session);
        EXPECT_EQ(shell.calls, (std::vector<std::string> { "page " + session.addresses.help }));
        shell.succeed = false;
        openChartHelp(session);
        EXPECT_NE(session.form1.StatusBar1[0].find(session.addresses.help), std::string::npos);
    }

} // namespace
} // namespace quantem::chart::test
