#pragma once

#include "chart/ChartLayers.h"
#include "chart/qt/ChartDrawing.h"

#include <QSize>
#include <QString>

#include <filesystem>

namespace quantem::ui {

/// The size of an exported chart when none is asked for, in pixels.
inline constexpr QSize kDefaultExportSize { 1600, 1050 };

/// Writes the chart part of a drawing to path as PNG, SVG or PDF, width × height pixels (for a
/// PDF, a page of that size at 96 pixels to the inch), drawn from the drawing calls rather than
/// from the screen. The file is replaced whole or not at all. Returns false when it cannot be
/// written.
bool writeChartFile(const ChartDrawing& drawing, const QString& originLabel,
    const std::filesystem::path& path, chart::ExportFormat format, QSize size = kDefaultExportSize);

} // namespace quantem::ui
