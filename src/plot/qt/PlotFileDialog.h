#pragma once

#include <QString>

#include <span>

class QWidget;

namespace quantem::ui {

/// A filter of a plot's save dialog with the extension a name without one gets.
struct PlotFileFilter
{
    const char* filter; // "PNG picture (*.png)"
    const char* extension; // ".png"
};

/// Asks where to save a plot, the first filter chosen at first; a name without an extension
/// takes the chosen filter's. Empty when the user cancels.
QString askPlotFile(
    QWidget* parent, const QString& caption, std::span<const PlotFileFilter> filters);

} // namespace quantem::ui
