#pragma once

#include "plot/PlotAxis.h"

#include <string>
#include <vector>

namespace quantem::plot {

/// What the user chose for a plot. Empty titles mean the variables' names.
struct PlotOptions
{
    std::string xTitle;
    std::string yTitle;
    AxisScale xScale = AxisScale::Linear;
    AxisScale yScale = AxisScale::Linear;
    bool confidenceBand = true;
    bool predictionBand = true;
};

/// Points in plot units; a NaN y breaks a line there (a point the axis cannot show).
struct Series
{
    std::vector<double> x;
    std::vector<double> y;
};

/// A band around the curve, at the curve's x: empty when not shown.
struct Band
{
    std::vector<double> lower;
    std::vector<double> upper;

    bool shown() const noexcept { return !lower.empty(); }
};

enum class PlotKind
{
    Curve, // y against the one variable, the model as a curve
    MeasuredAgainstFitted, // a model of several variables: y against its fitted value, 1:1 line
};

enum class LegendKind
{
    Samples,
    Curve,
    Identity,
    ConfidenceBand,
    PredictionBand,
};

struct LegendEntry
{
    LegendKind kind = LegendKind::Samples;
    std::string label;
};

/// The residuals y - fitted below the main panel, on its x axis.
struct ResidualPanel
{
    Axis y;
    Series points;
};

/// A plot of a fit laid out as data: everything a painter draws, in plot units.
struct FitPlot
{
    PlotKind kind = PlotKind::Curve;
    std::string title;
    Axis x;
    Axis y;
    Series samples;
    Series curve; // dense over the samples' x range, or the two ends of the 1:1 line
    Band confidence;
    Band prediction;
    std::vector<LegendEntry> legend;
    ResidualPanel residuals;
    std::vector<std::string> notes; // sentences: what is left out and why
};

} // namespace quantem::plot
