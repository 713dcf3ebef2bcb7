#pragma once

#include "plot/AxisTicks.h"

#include <span>
#include <string>
#include <vector>

namespace quantem::plot {

enum class AxisScale
{
    Linear,
    Log
};

/// One axis of a plot: its title, scale, the range it shows and its ticks inside that range.
struct Axis
{
    std::string title;
    AxisScale scale = AxisScale::Linear;
    double low = 0.0;
    double high = 1.0;
    std::vector<Tick> ticks;
    std::vector<double> minorTicks; // unlabelled, log axes only
};

/// The axis that shows values (non-finite ones, and on a log axis those <= 0, left out): their
/// range widened by 4 % at each end (of its decades on a log axis), or around the one value when
/// they are all equal; 0 to 1 (1 to 10 on a log axis) when none is left.
Axis axisOver(std::span<const double> values, AxisScale scale, std::string title);

/// count points from low to high inclusive, evenly spaced on the axis's scale (log-spaced on a
/// log axis, where low must be above 0).
std::vector<double> curveGrid(double low, double high, AxisScale scale, int count);

/// True when value can be shown on an axis of scale: finite, and above 0 on a log axis.
bool showable(double value, AxisScale scale);

} // namespace quantem::plot
