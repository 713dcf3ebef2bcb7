#include "plot/PlotAxis.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quantem::plot {

namespace {

    constexpr double kMargin = 0.04;
    // Values this close together relative to their size are one value to an axis: its ticks
    // could not be told apart.
    constexpr double kSmallestRelativeSpan = 1E-9;

    struct Range
    {
        double low;
        double high;
    };

    /// The range on the axis's own scale (decades for a log axis), widened.
    Range paddedRange(double low, double high)
    {
        const double size = std::max(std::abs(low), std::abs(high));
        if (high - low <= kSmallestRelativeSpan * size) {
            const double half = size == 0.0 ? 1.0 : 0.1 * size;
            return { low - half, high + half };
        }
        const double margin = kMargin * (high - low);
        return { low - margin, high + margin };
    }

} // namespace

bool showable(double value, AxisScale scale)
{
    return std::isfinite(value) && (scale == AxisScale::Linear || value > 0.0);
}

Axis axisOver(std::span<const double> values, AxisScale scale, std::string title)
{
    Axis axis;
    axis.title = std::move(title);
    axis.scale = scale;
    const bool log = scale == AxisScale::Log;
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    for (double value : values) {
        if (!showable(value, scale))
            continue;
        const double position = log ? std::log10(value) : value;
        low = std::min(low, position);
        high = std::max(high, position);
    }
    // No value left: 0 to 1, or 1 to 10 (decades 0 to 1) on a log axis.
    Range range { 0.0, 1.0 };
    if (low <= high && log && high - low < kSmallestRelativeSpan)
        range = { low - 0.1, high + 0.1 }; // one value: a fifth of a decade around it
    else if (low <= high)
        range = paddedRange(low, high);
    axis.low = log ? std::pow(10.0, range.low) : range.low;
    axis.high = log ? std::pow(10.0, range.high) : range.high;
    if (log) {
        axis.ticks = logTicks(axis.low, axis.high);
        axis.minorTicks = logMinorTicks(axis.low, axis.high);
    } else {
        axis.ticks = linearTicks(axis.low, axis.high);
    }
    return axis;
}

std::vector<double> curveGrid(double low, double high, AxisScale scale, int count)
{
    std::vector<double> grid;
    if (count < 2 || !(low <= high))
        return grid;
    const bool log = scale == AxisScale::Log;
    const double from = log ? std::log10(low) : low;
    const double to = log ? std::log10(high) : high;
    for (int i = 0; i < count; ++i) {
        // The ends exactly: the curve starts and stops at the outermost samples.
        const double t = from + (to - from) * i / (count - 1);
        grid.push_back(i == 0 ? low : i == count - 1 ? high : log ? std::pow(10.0, t) : t);
    }
    return grid;
}

} // namespace quantem::plot
