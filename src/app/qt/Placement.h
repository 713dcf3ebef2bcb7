#pragma once

#include <QWidget>

namespace quantem::ui {

/// Moves a small window over its anchor window (or the screen when the anchor is hidden):
/// centred across, its middle at heightFraction of the anchor's height.
void placeOverAnchor(QWidget& window, const QWidget* anchor, double heightFraction);

} // namespace quantem::ui
