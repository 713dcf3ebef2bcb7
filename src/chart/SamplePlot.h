#pragma once

#include "core/Canvas.h"
#include "core/Session.h"

#include <string>

namespace quantem::chart {

/// Draws the samples of the current model as blue points of width 3 on axes scaled to them.
/// Reads the ModelId from xx.sys, the sample count from the main window's Text2 and the groups
/// (x, y) from data.qtm. Model 51 is refused in Form9, models of more than one variable in Form6;
/// a missing sample file shows "Have no data !", a non-number "Have no regression analysis !".
/// A file that ends early shows Form5 and ends the scaling pass there: the axes and the points
/// read so far are still drawn. A point whose position overflows is left out, and Form5 tells
/// it once the pass is done.
void drawPoints(core::Session& session, core::Canvas& canvas);

/// Draws the samples the same way as a magenta polyline of width 1 in file order (not sorted by
/// x): every point but the first of the run is joined to the previous one, which the window
/// keeps in its hidden boxes Text5 and Text6. A non-number shows "Not regression analysis !".
void drawPolyline(core::Session& session, core::Canvas& canvas);

/// The Y caption for a column arrangement ("Secondly  Dimensional data is Y" for 2, ...); empty
/// for the arrangements the chart never uses.
std::string yCaption(int arrangement);

/// Sets the Y caption: reads xx.sys, hides the fixed-value labels and boxes, puts the y column's
/// caption into Label5 and shows the X options of the columns before it. Loads the window (hidden)
/// when it is not loaded.
void setYCaption(core::Session& session);

} // namespace quantem::chart
