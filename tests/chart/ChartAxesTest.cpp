#include "chart/ChartAxes.h"

#include "core/Fault.h"
#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace quantem::chart {
namespace {

    using quantem::test::CanvasCall;
    using quantem::test::RecordingCanvas;

    struct Segment
    {
        double x1, y1, x2, y2;
        bool operator==(const Segment&) const = default;
    };

    std::vector<Segment> segments(const std::vector<CanvasCall>& lines)
    {
        std::vector<Segment> result;
        for (const CanvasCall& line : lines)
            result.push_back({ line.x1, line.y1, line.x2, line.y2 });
        return result;
    }

    const std::vector<Segment> kXAxis { { 11620, 7680, 11850, 7730 }, { 11620, 7770, 11850, 7730 },
        { 2500, 7730, 11850, 7730 } };

    // Labels for x from -2 to 3 and y from 0.1 to 1.2, in the order they are printed.
    const std::vector<std::string> kXLabels { "-1.5", "-1.", "-.5", ".", ".5", "1.", "1.5", "2.",
        "2.5", "3." };
    const std::vector<std::string> kYLabels { ".21", ".32", ".43", ".54", ".65", ".76", ".87",
        ".98", "1.09", "1.2" };

    std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts)
    {
        std::vector<std::string> all;
        for (const auto& part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    }

    TEST(ChartAxes, GridStyleDrawsAxesGridAndLabelsAtTheirFixedPlaces)
    {
        core::Form2 form;
        RecordingCanvas canvas;
        drawAxes(form, canvas, -2.0, 0.1, 3.0, 1.2);

        std::vector<Segment> red = kXAxis;
        red.push_back({ 11580, 7730, 11580, 300 });
        red.push_back({ 2930, 50, 2930, 7880 });
        red.push_back({ 2930, 50, 2970, 250 });
        red.push_back({ 2930, 50, 2880, 250 });
        red.push_back({ 2930, 300, 11580, 300 });
        EXPECT_EQ(segments(canvas.lines(kAxisColour)), red);

        std::vector<Segment> grid;
        for (double x : { 3795, 4660, 5525, 6390, 7255, 8120, 8985, 9850, 10715 })
            grid.push_back({ x, 7730, x, 300 });
        for (double y : { 1045, 1790, 2535, 3280, 4025, 4770, 5515, 6260, 7005 })
            grid.push_back({ 2930, y, 11580, y });
        EXPECT_EQ(segments(canvas.lines(kGridColour)), grid);
        for (const CanvasCall& call : canvas.calls) {
            if (call.kind == CanvasCall::Kind::Line) {
                EXPECT_EQ(call.width, 1);
            }
        }

        EXPECT_EQ(canvas.textStrings(), concat({ { "X" }, kXLabels, { "Y" }, kYLabels }));
        const std::vector<CanvasCall> texts = canvas.texts();
        EXPECT_EQ(texts[0].x1, 11700.0);
        EXPECT_EQ(texts[0].y1, 7450.0);
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(texts[1 + i].x1, 3600.0 + 865.0 * i) << i;
            EXPECT_EQ(texts[1 + i].y1, 7880.0) << i;
            EXPECT_EQ(texts[12 + i].x1, 2480.0) << i;
            EXPECT_EQ(texts[12 + i].y1, 6925.0 - 745.0 * i) << i;
        }
        EXPECT_EQ(texts[11].x1, 3080.0);
        EXPECT_EQ(texts[11].y1, 50.0);
        EXPECT_EQ(form.Label7, "0(-2,0.1)");
    }

    TEST(ChartAxes, ScaleStyleDrawsShortTicksInsteadOfTheGrid)
    {
        core::Form2 form;
        form.Option4 = false;
        form.Option5 = true;
        RecordingCanvas canvas;
        drawAxes(form, canvas, -2.0, 0.1, 3.0, 1.2);

        EXPECT_TRUE(canvas.lines(kGridColour).empty());
        std::vector<Segment> red = kXAxis;
        for (double x : { 3795, 4660, 5525, 6390, 7255, 8120, 8985, 9850, 10715, 11580 })
            red.push_back({ x, 7730, x, 7650 });
        red.push_back({ 2930, 50, 2930, 7880 });
        red.push_back({ 2930, 50, 2970, 250 });
        red.push_back({ 2930, 50, 2880, 250 });
        for (double y : { 300, 1045, 1790, 2535, 3280, 4025, 4770, 5515, 6260, 7005 })
            red.push_back({ 2930, y, 3000, y });
        EXPECT_EQ(segments(canvas.lines(kAxisColour)), red);
        EXPECT_EQ(canvas.textStrings(), concat({ { "X" }, kXLabels, { "Y" }, kYLabels }));
        EXPECT_EQ(form.Label7, "0(-2,0.1)");
    }

    TEST(ChartAxes, PlainStyleDrawsOnlyTheArrowedAxesWithAShorterYAxis)
    {
        core::Form2 form;
        form.Option4 = false;
        form.Option6 = true;
        form.Label7 = "0(1,2)";
        RecordingCanvas canvas;
        drawAxes(form, canvas, -2.0, 0.1, 3.0, 1.2);

        std::vector<Segment> red = kXAxis;
        red.push_back({ 2930, 50, 2930, 7800 });
        red.push_back({ 2930, 50, 2970, 250 });
        red.push_back({ 2930, 50, 2880, 250 });
        EXPECT_EQ(segments(canvas.lines(kAxisColour)), red);
        EXPECT_EQ(canvas.lines(kGridColour).size(), 0u);
        EXPECT_EQ(canvas.textStrings(), (std::vector<std::string> { "X", "Y" }));
        EXPECT_EQ(form.Label7, " 0");
    }

    TEST(ChartAxes, EqualBoundsGiveEqualLabelsAndAnOverflowingRangeIsAFault)
    {
        core::Form2 form;
        RecordingCanvas canvas;
        drawAxes(form, canvas, 4.5, -0.25, 4.5, -0.25);
        const std::vector<std::string> texts = canvas.textStrings();
        EXPECT_EQ(texts[1], "4.5");
        EXPECT_EQ(texts[10], "4.5");
        EXPECT_EQ(texts[12], "-.25");
        EXPECT_EQ(form.Label7, "0(4.5,-0.25)");

        const double big = std::numeric_limits<double>::max();
        try {
            drawAxes(form, canvas, -big, 0.0, big, 1.0);
            ADD_FAILURE() << "a range beyond the double range was drawn";
        } catch (const core::Fault& fault) {
            EXPECT_EQ(fault.code(), core::FaultCode::Overflow);
        }
    }

} // namespace
} // namespace quantem::chart
