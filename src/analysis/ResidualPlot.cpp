#include "analysis/ResidualPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

namespace quantem::analysis {

namespace {

    constexpr core::Colour kAxisColour { 0, 0, 0 };
    constexpr core::Colour kZeroColour { 128, 128, 128 };
    constexpr core::Colour kPublishedColour { 0, 0, 255 };
    constexpr core::Colour kRefinedColour { 220, 0, 0 };

    struct Range
    {
        double low = 0.0;
        double high = 0.0;

        void include(double value)
        {
            low = std::min(low, value);
            high = std::max(high, value);
        }
        /// Where value lies between low and high, 0..1; a range of one value sits in the middle.
        double share(double value) const { return high > low ? (value - low) / (high - low) : 0.5; }
    };

    std::string shortNumber(double value)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%.4G", value);
        return text;
    }

    double abscissa(const ResidualRow& row, ResidualAxis axis, bool refined)
    {
        if (axis == ResidualAxis::X1)
            return row.x.empty() ? 0.0 : row.x.front();
        return refined ? *row.refinedFitted : row.fitted;
    }

    bool plottable(double a, double b) { return std::isfinite(a) && std::isfinite(b); }

    // Which colour is which, on one line in the margin above the plot's top-right corner: a
    // short stroke of each colour (not a dot, which would read as one more group) and its name.
    void drawLegend(core::Canvas& canvas, double right)
    {
        const double strokeY = 120.0;
        double x = right - 4200.0;
        for (const auto& [colour, name] : { std::pair { kPublishedColour, "published fit" },
                 std::pair { kRefinedColour, "refined fit" } }) {
            canvas.line(x, strokeY, x + 300.0, strokeY, colour, 3);
            canvas.text(x + 400.0, 0.0, name, colour);
            x += 2200.0;
        }
    }

} // namespace

void drawResidualPlot(core::Canvas& canvas, const std::vector<ResidualRow>& rows, ResidualAxis axis,
    const PlotFrame& frame)
{
    canvas.clear();
    const double left = frame.margin * 1.5;
    const double right = frame.width - frame.margin * 0.5;
    const double top = frame.margin * 0.5;
    const double bottom = frame.height - frame.margin;

    // Ranges over every point that will be drawn; the residual range always holds zero.
    bool first = true;
    Range xs;
    Range ys;
    for (const ResidualRow& row : rows) {
        for (const bool refined : { false, true }) {
            if (refined && !row.refinedResidual)
                continue;
            const double x = abscissa(row, axis, refined);
            const double y = refined ? *row.refinedResidual : row.residual;
            if (!plottable(x, y))
                continue;
            if (first) {
                xs = { x, x };
                first = false;
            }
            xs.include(x);
            ys.include(y);
        }
    }
    const auto px = [&](double x) { return left + xs.share(x) * (right - left); };
    const auto py = [&](double y) { return bottom - ys.share(y) * (bottom - top); };

    canvas.line(left, top, left, bottom, kAxisColour, 1);
    canvas.line(left, bottom, right, bottom, kAxisColour, 1);
    // The zero line, dashed so that it does not read as an axis.
    const double zero = py(0.0);
    const double dash = 120.0;
    for (double x = left; x < right; x += 2.0 * dash)
        canvas.line(x, zero, std::min(x + dash, right), zero, kZeroColour, 1);

    canvas.text(0.0, top, shortNumber(ys.high), kAxisColour);
    canvas.text(0.0, bottom - 200.0, shortNumber(ys.low), kAxisColour);
    canvas.text(0.0, zero - 100.0, "0", kAxisColour);
    canvas.text(left, bottom + 60.0, shortNumber(xs.low), kAxisColour);
    canvas.text(right - 900.0, bottom + 60.0, shortNumber(xs.high), kAxisColour);
    canvas.text((left + right) / 2.0 - 600.0, bottom + 300.0,
        axis == ResidualAxis::X1 ? "x1" : "fitted value", kAxisColour);

    bool anyRefined = false;
    for (const ResidualRow& row : rows) {
        if (plottable(row.fitted, row.residual))
            canvas.point(px(abscissa(row, axis, false)), py(row.residual), kPublishedColour, 3);
        if (row.refinedResidual && plottable(*row.refinedFitted, *row.refinedResidual)) {
            canvas.point(
                px(abscissa(row, axis, true)), py(*row.refinedResidual), kRefinedColour, 3);
            anyRefined = true;
        }
    }
    if (anyRefined)
        drawLegend(canvas, right);
}

} // namespace quantem::analysis
