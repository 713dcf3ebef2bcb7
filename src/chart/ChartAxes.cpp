#include "chart/ChartAxes.h"

#include "chart/TickLabel.h"
#include "core/CheckedMath.h"
#include "core/NumberText.h"

namespace quantem::chart {

using core::PlotArea;

namespace {

    constexpr double kXAxisStart = 2500.0;
    constexpr double kAxisArrowTip = 11850.0; // the X axis arrow's point
    constexpr double kYAxisTop = 50.0; // the Y axis arrow's point
    constexpr double kYAxisEnd = 7880.0;
    constexpr double kYAxisEndPlain = 7800.0;
    constexpr double kXLabelTop = 7880.0;
    constexpr double kYLabelLeft = 2480.0;

    constexpr int kDivisions = 10;

    // min + i·(max - min)/10.
    double tickValue(double min, double max, int i)
    {
        return core::add(min,
            core::divide(core::multiply(static_cast<double>(i), core::subtract(max, min)),
                static_cast<double>(kDivisions)));
    }

    void axisLine(core::Canvas& canvas, double x1, double y1, double x2, double y2)
    {
        canvas.line(x1, y1, x2, y2, kAxisColour, kLineWidth);
    }

    void drawXAxis(core::Canvas& canvas)
    {
        axisLine(canvas, 11620.0, 7680.0, kAxisArrowTip, PlotArea::bottom);
        axisLine(canvas, 11620.0, 7770.0, kAxisArrowTip, PlotArea::bottom);
        axisLine(canvas, kXAxisStart, PlotArea::bottom, kAxisArrowTip, PlotArea::bottom);
        canvas.text(11700.0, 7450.0, "X", kTextColour);
    }

    void drawYAxis(core::Canvas& canvas, double bottomEnd)
    {
        axisLine(canvas, PlotArea::left, kYAxisTop, PlotArea::left, bottomEnd);
        axisLine(canvas, PlotArea::left, kYAxisTop, 2970.0, 250.0);
        axisLine(canvas, PlotArea::left, kYAxisTop, 2880.0, 250.0);
        canvas.text(3080.0, kYAxisTop, "Y", kTextColour);
    }

    // Each X label sits 195 left of its tick, under the axis.
    void drawXLabels(core::Canvas& canvas, double minX, double maxX)
    {
        for (int i = 1; i <= kDivisions; ++i)
            canvas.text(3600.0 + 865.0 * (i - 1), kXLabelTop, tickLabel(tickValue(minX, maxX, i)),
                kTextColour);
    }

    // Each Y label sits 80 above its grid line, left of the axis.
    void drawYLabels(core::Canvas& canvas, double minY, double maxY)
    {
        for (int i = 1; i <= kDivisions; ++i)
            canvas.text(kYLabelLeft, 6925.0 - 745.0 * (i - 1), tickLabel(tickValue(minY, maxY, i)),
                kTextColour);
    }

    std::string originLabel(double minX, double minY)
    {
        return "0(" + core::doubleText(minX) + "," + core::doubleText(minY) + ")";
    }

} // namespace

AxisStyle axisStyleOf(const core::Form2& form2)
{
    if (form2.Option5)
        return AxisStyle::Scale;
    if (form2.Option6)
        return AxisStyle::Plain;
    return AxisStyle::Grid;
}

double xTickPosition(int j) { return j < 9 ? 3795.0 + 865.0 * j : PlotArea::right; }

double yTickPosition(int j) { return j < 9 ? 1045.0 + 745.0 * j : PlotArea::top; }

void drawAxes(
    core::Form2& form2, core::Canvas& canvas, double minX, double minY, double maxX, double maxY)
{
    switch (axisStyleOf(form2)) {
    case AxisStyle::Grid:
        drawXAxis(canvas);
        for (int j = 0; j < 9; ++j)
            canvas.line(xTickPosition(j), PlotArea::bottom, xTickPosition(j), PlotArea::top,
                kGridColour, kLineWidth);
        axisLine(canvas, PlotArea::right, PlotArea::bottom, PlotArea::right, PlotArea::top);
        drawXLabels(canvas, minX, maxX);
        drawYAxis(canvas, kYAxisEnd);
        axisLine(canvas, PlotArea::left, PlotArea::top, PlotArea::right, PlotArea::top);
        for (int j = 0; j < 9; ++j)
            canvas.line(PlotArea::left, yTickPosition(j), PlotArea::right, yTickPosition(j),
                kGridColour, kLineWidth);
        drawYLabels(canvas, minY, maxY);
        form2.Label7 = originLabel(minX, minY);
        break;
    case AxisStyle::Scale:
        drawXAxis(canvas);
        for (int j = 0; j < 10; ++j)
            axisLine(canvas, xTickPosition(j), PlotArea::bottom, xTickPosition(j), 7650.0);
        drawXLabels(canvas, minX, maxX);
        drawYAxis(canvas, kYAxisEnd);
        axisLine(canvas, PlotArea::left, PlotArea::top, 3000.0, PlotArea::top);
        for (int j = 0; j < 9; ++j)
            axisLine(canvas, PlotArea::left, yTickPosition(j), 3000.0, yTickPosition(j));
        drawYLabels(canvas, minY, maxY);
        form2.Label7 = originLabel(minX, minY);
        break;
    case AxisStyle::Plain:
        drawXAxis(canvas);
        drawYAxis(canvas, kYAxisEndPlain);
        form2.Label7 = " 0";
        break;
    }
}

} // namespace quantem::chart
