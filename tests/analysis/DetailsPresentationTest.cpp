#include "analysis/ConditioningNotice.h"
#include "analysis/DetailsTables.h"
#include "analysis/ResidualPlot.h"
#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quantem::analysis {
namespace {

    ResidualRow row(int group, double x1, double y, double fitted)
    {
        ResidualRow r;
        r.group = group;
        r.x = { x1 };
        r.y = y;
        r.fitted = fitted;
        r.residual = y - fitted;
        r.relative = fitted == 0.0 ? std::numeric_limits<double>::quiet_NaN() : r.residual / fitted;
        return r;
    }

    TEST(ResidualPlot, PutsEveryResidualInsideTheFrameWithZeroBetweenTheExtremes)
    {
        std::vector<ResidualRow> rows { row(1, 1.5, 2.75, 2.5), row(2, 2.5, 3.125, 3.5),
            row(3, 4.0, 5.0, 5.0), row(4, 7.25, 9.5, 8.875) };
        rows[1].refinedFitted = 3.25;
        rows[1].refinedResidual = -0.125;
        test::RecordingCanvas canvas;
        const PlotFrame frame { 9000.0, 6000.0, 600.0 };
        drawResidualPlot(canvas, rows, ResidualAxis::Fitted, frame);
        ASSERT_EQ(canvas.calls.front().kind, test::CanvasCall::Kind::Clear);
        const auto published = canvas.points({ 0, 0, 255 });
        const auto refined = canvas.points({ 220, 0, 0 });
        ASSERT_EQ(published.size(), 4u);
        ASSERT_EQ(refined.size(), 1u);
        for (const auto& p : published) {
            EXPECT_GE(p.x1, frame.margin);
            EXPECT_LE(p.x1, frame.width);
            EXPECT_GE(p.y1, 0.0);
            EXPECT_LE(p.y1, frame.height - frame.margin);
        }
        // y grows downwards: the largest residual (0.625, group 4) is highest, the smallest
        // (-0.375, group 2) lowest, and the zero residual of group 3 lies on the zero line.
        EXPECT_LT(published[3].y1, published[0].y1);
        EXPECT_GT(published[1].y1, published[2].y1);
        const auto zeroLine = canvas.lines({ 128, 128, 128 });
        ASSERT_FALSE(zeroLine.empty());
        EXPECT_DOUBLE_EQ(zeroLine.front().y1, published[2].y1);
        // Against the fitted value, the smallest fitted value is leftmost.
        EXPECT_LT(published[0].x1, published[1].x1);

        // Against x1 the points move to their x1 order; the caption says which axis it is.
        drawResidualPlot(canvas, rows, ResidualAxis::X1, frame);
        const auto byX1 = canvas.points({ 0, 0, 255 });
        EXPECT_LT(byX1[2].x1, byX1[3].x1);
        const auto texts = canvas.textStrings();
        EXPECT_NE(std::find(texts.begin(), texts.end(), "x1"), texts.end());
    }

    TEST(ResidualPlot, ALegendNamesBothColoursOnlyWhenRefinedPointsAreDrawn)
    {
        std::vector<ResidualRow> rows { row(1, 1.5, 2.75, 2.5), row(2, 2.5, 3.125, 3.5) };
        const PlotFrame frame { 9000.0, 6000.0, 600.0 };
        const auto drawn = [&] {
            test::RecordingCanvas canvas;
            drawResidualPlot(canvas, rows, ResidualAxis::Fitted, frame);
            return canvas;
        };
        const auto hasText = [](const test::RecordingCanvas& canvas, const std::string& text) {
            const auto texts = canvas.textStrings();
            return std::find(texts.begin(), texts.end(), text) != texts.end();
        };
        const test::RecordingCanvas published = drawn();
        EXPECT_FALSE(hasText(published, "published fit"));
        EXPECT_FALSE(hasText(published, "refined fit"));

        rows[0].refinedFitted = 2.625;
        rows[0].refinedResidual = 0.125;
        const test::RecordingCanvas both = drawn();
        EXPECT_TRUE(hasText(both, "published fit"));
        EXPECT_TRUE(hasText(both, "refined fit"));
        // Each name beside a stroke of its colour, above the plot and inside the frame; the
        // strokes are lines, so the dots still count the groups.
        for (const test::CanvasCall& stroke :
            { both.lines({ 0, 0, 255 }).at(0), both.lines({ 220, 0, 0 }).at(0) }) {
            EXPECT_LT(stroke.y1, frame.margin * 0.5);
            EXPECT_GE(stroke.x1, 0.0);
            EXPECT_LE(stroke.x2, frame.width);
        }
        EXPECT_EQ(both.points({ 0, 0, 255 }).size(), 2u);
        EXPECT_EQ(both.points({ 220, 0, 0 }).size(), 1u);

        // A refined residual that cannot be plotted draws no point, and so no legend.
        rows[0].refinedResidual = std::numeric_limits<double>::quiet_NaN();
        EXPECT_FALSE(hasText(drawn(), "refined fit"));
    }

    TEST(ResidualPlot, EmptyAndNonFiniteRowsDrawNoPoints)
    {
        test::RecordingCanvas canvas;
        drawResidualPlot(canvas, {}, ResidualAxis::Fitted);
        EXPECT_TRUE(canvas.points({ 0, 0, 255 }).empty());
        EXPECT_FALSE(canvas.lines({ 0, 0, 0 }).empty()); // the axes still stand
        std::vector<ResidualRow> rows { row(1, 1.0, 2.0, 1.5),
            row(2, 2.0, 1.0, std::numeric_limits<double>::infinity()) };
        drawResidualPlot(canvas, rows, ResidualAxis::Fitted);
        EXPECT_EQ(canvas.points({ 0, 0, 255 }).size(), 1u);
    }

    TEST(DetailsTables, SeparatedTextKeepsCellsAndQuotesOnlyWhereNeeded)
    {
        const TextTable table { { "name", "note" }, { "a0", "1.5" },
            { "k1", "say \"x\", then y" } };
        EXPECT_EQ(tabSeparated(table), "name\tnote\na0\t1.5\nk1\tsay \"x\", then y\n");
        EXPECT_EQ(commaSeparated(table), "name,note\r\na0,1.5\r\nk1,\"say \"\"x\"\", then y\"\r\n");
        EXPECT_EQ(cellNumber(0.1 + 0.2), "0.3");
        EXPECT_EQ(cellNumber(1E+20), "1E+20");
        EXPECT_EQ(cellNumber(std::numeric_limits<double>::quiet_NaN()), "");
    }

    TEST(DetailsTables, ResidualTableGainsRefinedColumnsOnlyWhenRefined)
    {
        FitDetails details;
        details.residuals = { row(1, 1.5, 2.75, 2.5), row(2, 2.5, 0.0, 0.0) };
        TextTable table = residualTable(details);
        ASSERT_EQ(table.size(), 3u);
        EXPECT_EQ(table[0],
            (std::vector<std::string> {
                "group", "x1", "y", "fitted", "residual", "relative residual" }));
        EXPECT_EQ(
            table[1], (std::vector<std::string> { "1", "1.5", "2.75", "2.5", "0.25", "0.1" }));
        EXPECT_EQ(table[2][5], ""); // relative to a fitted value of 0: none
        details.refined = RefinedDetails {};
        details.residuals[0].refinedFitted = 2.625;
        details.residuals[0].refinedResidual = 0.125;
        table = residualTable(details);
        EXPECT_EQ(table[0].size(), 8u);
        EXPECT_EQ(table[1][7], "0.125");
    }

    TEST(ConditioningWarning, FiresAboveTheLimitOnlyAndNamesTheWindow)
    {
        EXPECT_FALSE(conditioningWarning(999.0));
        EXPECT_TRUE(conditioningWarning(1001.0));
        EXPECT_FALSE(conditioningWarning(std::numeric_limits<double>::quiet_NaN()));
        const auto warning = conditioningWarning(5.2068E+9);
        ASSERT_TRUE(warning);
        EXPECT_EQ(warning->rfind(kConditioningWarningStart, 0), 0u);
        EXPECT_NE(warning->find("5.21E+09"), std::string::npos);
        EXPECT_NE(warning->find("Fit details"), std::string::npos);
        EXPECT_NE(conditioningWarning(std::numeric_limits<double>::infinity())->find("infinite"),
            std::string::npos);
    }

} // namespace
} // namespace quantem::analysis
