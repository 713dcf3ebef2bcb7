#include "chart/qt/ChartFile.h"

#include "core/ExportFile.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSvgGenerator>

#include <algorithm>
#include <cctype>
#include <string>

namespace quantem::ui {

namespace {

    constexpr double kPdfPixelsPerInch = 96.0;

    void paintPart(QPainter& painter, const ChartDrawing& drawing, const DrawingPart& part,
        const QRectF& target)
    {
        painter.fillRect(target, Qt::white);
        drawing.paint(painter, part.source, target, part.originLabel);
    }

    Painting partPainting(const ChartDrawing& drawing, const DrawingPart& part)
    {
        return [&drawing, &part](QPainter& painter, const QRectF& target) {
            paintPart(painter, drawing, part, target);
        };
    }

    bool writeImage(QIODevice& file, const Painting& paint, QSize size, const char* format)
    {
        QImage image = paintingImage(paint, size);
        // A bitmap has no use for the alpha channel; the opaque form keeps it a plain 32-bit one.
        if (std::string(format) == "BMP")
            image = image.convertToFormat(QImage::Format_RGB32);
        return image.save(&file, format);
    }

    bool writeSvg(QIODevice& file, const Painting& paint, const QString& title, QSize size)
    {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(title);
        QPainter painter;
        if (!painter.begin(&svg))
            return false;
        paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
        return painter.end();
    }

    bool writePdf(QIODevice& file, const Painting& paint, const QString& title, QSize size)
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Quantem"));
        pdf.setResolution(static_cast<int>(kPdfPixelsPerInch));
        const QSizeF points = QSizeF(size) * (72.0 / kPdfPixelsPerInch);
        pdf.setPageSize(QPageSize(points, QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(&pdf))
            return false;
        paint(painter, QRectF(0, 0, pdf.width(), pdf.height()));
        return painter.end();
    }

    DrawingFormat drawingFormat(chart::ExportFormat format)
    {
        switch (format) {
        case chart::ExportFormat::Svg:
            return DrawingFormat::Svg;
        case chart::ExportFormat::Pdf:
            return DrawingFormat::Pdf;
        case chart::ExportFormat::Png:
            break;
        }
        return DrawingFormat::Png;
    }

} // namespace

QImage paintingImage(const Painting& paint, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(painter, QRectF(image.rect()));
    return image;
}

QImage drawingImage(const ChartDrawing& drawing, const DrawingPart& part, QSize size)
{
    return paintingImage(partPainting(drawing, part), size);
}

std::optional<DrawingFormat> drawingFormatOf(const std::filesystem::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".png")
        return DrawingFormat::Png;
    if (extension == ".bmp")
        return DrawingFormat::Bmp;
    if (extension == ".svg")
        return DrawingFormat::Svg;
    if (extension == ".pdf")
        return DrawingFormat::Pdf;
    return std::nullopt;
}

core::ExportOutcome writePaintingFile(const Painting& paint, const QString& title,
    const std::filesystem::path& path, DrawingFormat format, QSize size)
{
    if (size.isEmpty())
        return { "a drawing needs a width and a height of at least one pixel" };
    // Drawn in memory first: the file is then written by the one writer of exported files,
    // which never writes through a link and replaces the file whole.
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    bool drawn = false;
    switch (format) {
    case DrawingFormat::Png:
        drawn = writeImage(file, paint, size, "PNG");
        break;
    case DrawingFormat::Bmp:
        drawn = writeImage(file, paint, size, "BMP");
        break;
    case DrawingFormat::Svg:
        drawn = writeSvg(file, paint, title, size);
        break;
    case DrawingFormat::Pdf:
        drawn = writePdf(file, paint, title, size);
        break;
    }
    if (!drawn)
        return { "the drawing could not be made at that size" };
    return writeExportedBytes(file.data(), path);
}

core::ExportOutcome writeExportedBytes(const QByteArray& bytes, const std::filesystem::path& path)
{
    return core::writeExportFile(
        path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

core::ExportOutcome writeDrawingFile(const ChartDrawing& drawing, const DrawingPart& part,
    const std::filesystem::path& path, DrawingFormat format, QSize size)
{
    return writePaintingFile(partPainting(drawing, part), part.title, path, format, size);
}

bool printPainting(QPrinter& printer, const Painting& paint, QSizeF shape)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF page(0, 0, printer.width(), printer.height());
    paint(painter, QRectF(page.topLeft(), shape.scaled(page.size(), Qt::KeepAspectRatio)));
    return painter.end();
}

bool printDrawing(QPrinter& printer, const ChartDrawing& drawing, const DrawingPart& part)
{
    return printPainting(printer, partPainting(drawing, part), part.source.size());
}

core::ExportOutcome writeChartFile(const ChartDrawing& drawing, const QString& originLabel,
    const std::filesystem::path& path, chart::ExportFormat format, QSize size)
{
    const DrawingPart part { drawing.chartArea(originLabel), originLabel,
        QStringLiteral("Quantem chart") };
    return writeDrawingFile(drawing, part, path, drawingFormat(format), size);
}

} // namespace quantem::ui
