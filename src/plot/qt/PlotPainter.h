#pragma once

#include "plot/FitPlot.h"

#include <QRectF>

class QPainter;

namespace quantem::ui {

/// Paints a fit's plot into target on any painter (screen, image, SVG, PDF, printer): the main
/// panel with its bands, curve and samples, a legend where it covers the fewest samples, the
/// residual panel below on the same x axis, round ticks, axis titles and the notes. Sizes of
/// texts, lines and marks follow the target's size, so it reads at a window's size and at
/// 1600 × 1050 alike. Lays a white background first.
void paintPlot(QPainter& painter, const QRectF& target, const plot::FitPlot& plot);

} // namespace quantem::ui
