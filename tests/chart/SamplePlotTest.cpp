#include "chart/SamplePlot.h"

#include "chart/ChartAxes.h"
#include "chart/ChartFixture.h"
#include "chart/ChartWindow.h"
#include "core/NumberText.h"
#include "support/Expect.h"

#include <gtest/gtest.h>

namespace quantem::chart::test {
namespace {

    using quantem::test::CanvasCall;

    // Groups in file order, not sorted by x: x from -1 to 4, y from 0.5 to 9.5.
    constexpr const char* kSamples = "2,3.5\r\n-1,0.5\r\n4,9.5\r\n1,2\r\n";

    struct Expected
    {
        double x, y;
    };
    // 2930 + (x + 1)·8650/5 and 7730 - (y - 0.5)·7430/9.
    const Expected kPositions[] = { { 8120.0, 7730.0 - 3.0 * 7430.0 / 9.0 }, { 2930.0, 7730.0 },
        { 11580.0, 300.0 }, { 6390.0, 7730.0 - 1.5 * 7430.0 / 9.0 } };

    class SamplePlot : public ChartTest
    {
    protected:
        SamplePlot()
        {
            chooseModel("0,,0,52");
            root.writeSamples(kSamples);
            fitted("4");
            session.form2.loaded = true;
        }
    };

    TEST_F(SamplePlot, PointsOfModel52AreDrawnBlueOnAxesScaledToTheSamples)
    {
        session.form2.Picture1Visible = true;
        drawPointsCommand(session, canvas);

        EXPECT_FALSE(session.form2.Picture1Visible);
        EXPECT_TRUE(session.messages.log().empty());
        EXPECT_EQ(session.form2.Label7, "0(-1,0.5)");
        ASSERT_FALSE(canvas.calls.empty());
        EXPECT_EQ(canvas.calls.front().kind, CanvasCall::Kind::Line); // the axes come first
        const std::vector<CanvasCall> points = canvas.points(kPointColour);
        ASSERT_EQ(points.size(), 4u);
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_NEAR_REL(points[i].x1, kPositions[i].x, 1e-12) << i;
            EXPECT_NEAR_REL(points[i].y1, kPositions[i].y, 1e-12) << i;
            EXPECT_EQ(points[i].width, 3);
        }
        EXPECT_EQ(canvas.calls.back().kind, CanvasCall::Kind::Point);
        EXPECT_TRUE(canvas.lines(kPolylineColour).empty());
    }

    TEST_F(SamplePlot, PolylineJoinsTheSamplesInFileOrderAndEachRunStartsAfresh)
    {
        drawLineCommand(session, canvas);
        drawLineCommand(session, canvas);

        const std::vector<CanvasCall> lines = canvas.lines(kPolylineColour);
        ASSERT_EQ(lines.size(), 6u); // no line into the first point of either run
        for (std::size_t run = 0; run < 2; ++run) {
            for (std::size_t i = 0; i < 3; ++i) {
                const CanvasCall& line = lines[run * 3 + i];
                EXPECT_NEAR_REL(line.x1, kPositions[i].x, 1e-12);
                EXPECT_NEAR_REL(line.y1, kPositions[i].y, 1e-12);
                EXPECT_NEAR_REL(line.x2, kPositions[i + 1].x, 1e-12);
                EXPECT_NEAR_REL(line.y2, kPositions[i + 1].y, 1e-12);
                EXPECT_EQ(line.width, 1);
            }
        }
        EXPECT_TRUE(canvas.points(kPointColour).empty());
        // The hidden boxes keep the last point as text.
        EXPECT_EQ(session.form2.Text5, "6390");
        EXPECT_EQ(session.form2.Text6, core::doubleText(kPositions[3].y));
    }

    TEST_F(SamplePlot, ModelsThatAreNotOneVariableAreRefusedAndNothingIsDrawn)
    {
        chooseModel("0,,0,51");
        drawPointsCommand(session, canvas);
        EXPECT_EQ(lastMessage(), "Form9:Can't draw five  Dimensional picture.");
        drawLineCommand(session, canvas);
        EXPECT_EQ(lastMessage(), "Form9:Can't draw five  Dimensional picture.");
        for (const char* model : { "2,2,0,2", "3,3,0,6", "2,3,3,20", "3,3,3,40", "3,3,3,50" }) {
            chooseModel(model);
            drawPointsCommand(session, canvas);
            EXPECT_EQ(lastMessage(), "Form6:Can't draw Point or line of picture.") << model;
            drawLineCommand(session, canvas);
            EXPECT_EQ(lastMessage(), "Form6:Can't draw Point or line of picture.") << model;
        }
        EXPECT_TRUE(canvas.calls.empty());

        // One-variable catalogue models draw.
        for (const char* model : { "1,1,0,1", "1,1,0,4", "1,3,2,15" }) {
            chooseModel(model);
            canvas.calls.clear();
            drawPointsCommand(session, canvas);
            EXPECT_EQ(canvas.points(kPointColour).size(), 4u) << model;
        }
    }

    TEST_F(SamplePlot, WithoutAReportTheWindowAsksForARegressionFirst)
    {
        session.form1.Text5.clear();
        drawPointsCommand(session, canvas);
        EXPECT_EQ(lastMessage(), "Form9:Please do regression the calculation.");
        drawLineCommand(session, canvas);
        EXPECT_EQ(lastMessage(), "Form9:Please do regression the calculation.");
        EXPECT_TRUE(canvas.calls.empty());
    }

    TEST_F(SamplePlot, MissingOrUnreadableSamplesAreToldWithTheirOwnTexts)
    {
        std::filesystem::remove(root.path() / "data.qtm");
        drawPointsCommand(session, canvas);
        EXPECT_EQ(lastMessage(), "Form5:Have no data !");

        root.writeSamples("1,2\r\n3,abc\r\n5,6\r\n");
        drawPointsCommand(session, canvas);
        EXPECT_EQ(lastMessage(), "Form5:Have no regression analysis !");
        drawLineCommand(session, canvas);
        EXPECT_EQ(lastMessage(), "Form5:Not regression analysis !");
        EXPECT_TRUE(canvas.calls.empty());
    }

    TEST_F(SamplePlot, TooFewGroupsAreToldAndTheGroupsReadAreStillDrawn)
    {
        fitted("6");
        drawPointsCommand(session, canvas);
        EXPECT_EQ(lastMessage(), "Form5:   Input error !");
        EXPECT_EQ(session.messages.log().size(), 1u);
        EXPECT_EQ(canvas.points(kPointColour).size(), 4u);
        EXPECT_EQ(session.form2.Label7, "0(-1,0.5)");
    }

    TEST_F(SamplePlot, EqualValuesCannotBeMappedSoNoPointIsDrawnAndTheOverflowIsTold)
    {
        root.writeSamples("2,1\r\n2,3\r\n2,2\r\n");
        fitted("3");
        drawPointsCommand(session, canvas);
        EXPECT_TRUE(canvas.points(kPointColour).empty());
        EXPECT_FALSE(canvas.texts().empty()); // the axes are drawn
        EXPECT_EQ(lastMessage(), "Form5:   Input error !");

        session.messages = core::MessageWindows {};
        drawLineCommand(session, canvas);
        EXPECT_TRUE(canvas.lines(kPolylineColour).empty());
        EXPECT_EQ(lastMessage(), "Form5:   Input error !");
    }

    TEST_F(SamplePlot, YCaptionNamesTheLastColumnAndOffersTheColumnsBeforeIt)
    {
        struct Case
        {
            const char* model;
            const char* caption;
            bool option2, option3;
        };
        const Case cases[] = {
            { "1,1,1,7", "Secondly  Dimensional data is Y", false, false },
            { "0,,0,52", "Secondly  Dimensional data is Y", false, false },
            { "2,3,3,20", "Third imensional data is Y", true, false },
            { "2,2,0,5", "Third imensional data is Y", true, false },
            { "3,3,3,40", "Four Dimensional data is Y", true, true },
            { "0,,0,51", "Four Dimensional data is Y", true, true },
        };
        for (const Case& c : cases) {
            chooseModel(c.model);
            session.form2 = core::Form2 {};
            session.form2.loaded = true; // a loaded window, so the fields must really be hidden
            session.form2.Label2Visible = session.form2.Text2Visible = true;
            setYCaption(session);
            const core::Form2& form = session.form2;
            EXPECT_EQ(form.Label5, c.caption) << c.model;
            EXPECT_TRUE(form.Option1Visible) << c.model;
            EXPECT_EQ(form.Option2Visible, c.option2) << c.model;
            EXPECT_EQ(form.Option3Visible, c.option3) << c.model;
            EXPECT_FALSE(form.Label2Visible || form.Text2Visible) << c.model;
        }
        // A window that was not loaded is loaded, not shown.
        session.form2 = core::Form2 {};
        setYCaption(session);
        EXPECT_TRUE(session.form2.loaded);
        EXPECT_FALSE(session.form2.visible);
        EXPECT_EQ(yCaption(1), "First Dimensional data is Y");
        EXPECT_EQ(yCaption(6), "Secondly Dimensional data is Y");
        EXPECT_EQ(yCaption(8), "Third imensional data is Y");
        EXPECT_EQ(yCaption(16), "Third Dimensional data is Y");
        EXPECT_EQ(yCaption(20), "Four Dimensional data is Y");
        EXPECT_EQ(yCaption(3), "");
    }

} // namespace
} // namespace quantem::chart::test
