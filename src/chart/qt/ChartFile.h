#pragma once

#include "chart/ChartLayers.h"
#include "chart/qt/ChartDrawing.h"
#include "core/ExportFile.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include <filesystem>
#include <functional>
#include <optional>

class QPainter;
class QPrinter;

namespace quantem::ui {

/// The size of an exported chart when none is asked for, in pixels.
inline constexpr QSize kDefaultExportSize { 1600, 1050 };

/// The file formats a drawing is written in.
enum class DrawingFormat
{
    Png,
    Bmp,
    Svg,
    Pdf
};

/// The format named by a file's extension (.png, .bmp, .svg, .pdf in any case); none for others.
std::optional<DrawingFormat> drawingFormatOf(const std::filesystem::path& path);

/// Paints a picture into target on painter (a white background is laid first by the caller).
using Painting = std::function<void(QPainter& painter, const QRectF& target)>;

/// Writes a painting to path, width × height pixels (for a PDF, a page of that size at 96 pixels
/// to the inch), with title in an SVG or a PDF. The file is replaced whole or not at all, and
/// never through a link (core::writeExportFile); the outcome says why it was not written.
core::ExportOutcome writePaintingFile(const Painting& paint, const QString& title,
    const std::filesystem::path& path, DrawingFormat format, QSize size);

/// Writes bytes that a Qt device made in memory to path, as writePaintingFile writes a file.
core::ExportOutcome writeExportedBytes(const QByteArray& bytes, const std::filesystem::path& path);

/// A painting on a white image of size pixels.
QImage paintingImage(const Painting& paint, QSize size);

/// Prints a painting on the printer as it is set up: as large as the page allows in the
/// proportions of shape, from the page's top-left corner. Returns false when the printer cannot
/// be painted on.
bool printPainting(QPrinter& printer, const Painting& paint, QSizeF shape);

/// What a file or a page of a drawing shows: the part source of the drawing (in twips), the
/// origin label when there is one, and the title an SVG or a PDF carries.
struct DrawingPart
{
    QRectF source;
    QString originLabel;
    QString title;
};

/// Writes a part of a drawing to path, width × height pixels (for a PDF, a page of that size at
/// 96 pixels to the inch), drawn from the drawing calls rather than from the screen, as
/// writePaintingFile writes a file.
core::ExportOutcome writeDrawingFile(const ChartDrawing& drawing, const DrawingPart& part,
    const std::filesystem::path& path, DrawingFormat format, QSize size);

/// A part of a drawing painted afresh on a white image of size pixels.
QImage drawingImage(const ChartDrawing& drawing, const DrawingPart& part, QSize size);

/// Prints a part of a drawing on the printer as it is set up: as large as the page allows,
/// keeping its proportions, from the page's top-left corner. Returns false when the printer
/// cannot be painted on.
bool printDrawing(QPrinter& printer, const ChartDrawing& drawing, const DrawingPart& part);

/// Writes the chart part of a drawing to path as PNG, SVG or PDF (see writeDrawingFile).
core::ExportOutcome writeChartFile(const ChartDrawing& drawing, const QString& originLabel,
    const std::filesystem::path& path, chart::ExportFormat format, QSize size = kDefaultExportSize);

} // namespace quantem::ui
