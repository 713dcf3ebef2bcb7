#pragma once

#include "core/Canvas.h"
#include "core/Form2.h"
#include "core/WindowStates.h"

namespace quantem::chart {

// Colours of the chart.
inline constexpr core::Colour kAxisColour { 255, 0, 0 };
inline constexpr core::Colour kGridColour { 200, 200, 100 };
inline constexpr core::Colour kPointColour { 0, 0, 255 };
inline constexpr core::Colour kPolylineColour { 255, 0, 255 };
inline constexpr core::Colour kCurveColour { 0, 100, 0 };
inline constexpr core::Colour kTextColour { 0, 0, 0 };

inline constexpr int kPointWidth = 3;
inline constexpr int kLineWidth = 1;

/// The three axis styles of the "Coordinate Setting" frame.
enum class AxisStyle
{
    Grid, // Option4 "Gridding coordinate"
    Scale, // Option5 "Scal ceoordinate"
    Plain, // Option6 "Commonly coordinate"
};

/// The style chosen in the window (grid when, against the rule of the option group, none is).
AxisStyle axisStyleOf(const core::Form2& form2);

/// X tick position j (0..9): 3795 + 865·j for j = 0..8, then the right edge 11580.
double xTickPosition(int j);
/// Y grid position j (0..9): 1045 + 745·j for j = 0..8, then the top edge 300.
double yTickPosition(int j);

/// Draws the axes for the data range in the window's style, with ten tick values per axis
/// (min + i·(max - min)/10, i = 1..10, as "####.##"), and sets the origin label Label7.
/// Throws Fault 6 when a tick value leaves the double range.
void drawAxes(
    core::Form2& form2, core::Canvas& canvas, double minX, double minY, double maxX, double maxY);

} // namespace quantem::chart
