#include "chart/qt/ChartFile.h"

#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace quantem::ui {

namespace {

    constexpr double kPdfPixelsPerInch = 96.0;

    void paintChart(QPainter& painter, const ChartDrawing& drawing, const QString& originLabel,
        const QRectF& target)
    {
        painter.fillRect(target, Qt::white);
        drawing.paint(painter, drawing.chartArea(originLabel), target, originLabel);
    }

    bool writePng(
        QSaveFile& file, const ChartDrawing& drawing, const QString& originLabel, QSize size)
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            paintChart(painter, drawing, originLabel, QRectF(image.rect()));
        }
        return image.save(&file, "PNG");
    }

    bool writeSvg(
        QSaveFile& file, const ChartDrawing& drawing, const QString& originLabel, QSize size)
    {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("Quantem chart"));
        QPainter painter;
        if (!painter.begin(&svg))
            return false;
        paintChart(painter, drawing, originLabel, QRectF(QPointF(0, 0), QSizeF(size)));
        return painter.end();
    }

    bool writePdf(
        QSaveFile& file, const ChartDrawing& drawing, const QString& originLabel, QSize size)
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(QStringLiteral("Quantem chart"));
        pdf.setCreator(QStringLiteral("Quantem"));
        pdf.setResolution(static_cast<int>(kPdfPixelsPerInch));
        const QSizeF points = QSizeF(size) * (72.0 / kPdfPixelsPerInch);
        pdf.setPageSize(QPageSize(points, QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(&pdf))
            return false;
        paintChart(painter, drawing, originLabel, QRectF(0, 0, pdf.width(), pdf.height()));
        return painter.end();
    }

} // namespace

bool writeChartFile(const ChartDrawing& drawing, const QString& originLabel,
    const std::filesystem::path& path, chart::ExportFormat format, QSize size)
{
    if (size.isEmpty())
        return false;
    QSaveFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    bool written = false;
    switch (format) {
    case chart::ExportFormat::Png:
        written = writePng(file, drawing, originLabel, size);
        break;
    case chart::ExportFormat::Svg:
        written = writeSvg(file, drawing, originLabel, size);
        break;
    case chart::ExportFormat::Pdf:
        written = writePdf(file, drawing, originLabel, size);
        break;
    }
    if (!written) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace quantem::ui
