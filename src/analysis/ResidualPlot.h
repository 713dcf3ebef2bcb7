#pragma once

#include "analysis/FitDetails.h"
#include "core/Canvas.h"

#include <vector>

namespace quantem::analysis {

/// What the residuals are plotted against.
enum class ResidualAxis
{
    Fitted,
    X1
};

/// The plot's size and margins in twips.
struct PlotFrame
{
    double width = 7200.0;
    double height = 4800.0;
    double margin = 600.0;
};

/// Draws the residuals (y - fitted) against the fitted value or x1: axes with their extremes
/// written at the ends, a dashed zero line, one dot per group (the refined residuals in a second
/// colour when there are some, with a legend that names both colours). Clears the canvas first;
/// draws only the axes when there are no rows.
void drawResidualPlot(core::Canvas& canvas, const std::vector<ResidualRow>& rows, ResidualAxis axis,
    const PlotFrame& frame = {});

} // namespace quantem::analysis
