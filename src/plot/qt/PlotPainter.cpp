#include "plot/qt/PlotPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>

namespace quantem::ui {

namespace {

    using plot::Axis;
    using plot::FitPlot;
    using plot::LegendKind;

    const QColor kSampleColour(31, 78, 154);
    const QColor kCurveColour(192, 57, 43);
    const QColor kConfidenceFill(192, 57, 43, 64);
    const QColor kPredictionFill(31, 78, 154, 28);
    const QColor kPredictionEdge(31, 78, 154, 150);
    const QColor kIdentityColour(110, 110, 110);
    const QColor kGridColour(228, 228, 228);
    const QColor kFrameColour(70, 70, 70);
    const QColor kNoteColour(90, 90, 90);

    // The size the plot is designed at; smaller targets shrink it down to this fraction, below
    // which texts would no longer read.
    constexpr double kDesignWidth = 1600.0;
    constexpr double kDesignHeight = 1050.0;
    constexpr double kSmallestScale = 0.6;
    constexpr double kDesignTextPixels = 17.0;
    constexpr double kMainPanelShare = 0.72; // of the height both panels share

    /// Sizes that follow the target: one em of text and the widths derived from it.
    struct Style
    {
        QFont text;
        QFont small;
        QFont title;
        double em = 17.0;
        double line = 1.0;
        double mark = 4.0;
    };

    QFont fontOf(double pixels, bool bold = false)
    {
        QFont font;
        font.setPixelSize(std::max(8, static_cast<int>(std::lround(pixels))));
        font.setBold(bold);
        return font;
    }

    Style styleFor(const QRectF& target)
    {
        const double scale = std::max(kSmallestScale,
            std::min(target.width() / kDesignWidth, target.height() / kDesignHeight));
        Style style;
        style.em = kDesignTextPixels * scale;
        style.text = fontOf(style.em);
        style.small = fontOf(0.85 * style.em);
        style.title = fontOf(1.15 * style.em, true);
        style.line = std::max(1.0, 0.14 * style.em);
        style.mark = std::max(2.5, 0.3 * style.em);
        return style;
    }

    double axisPosition(const Axis& axis, double value)
    {
        return axis.scale == plot::AxisScale::Log ? std::log10(value) : value;
    }

    /// A panel: its rectangle and the axes mapped onto it.
    struct Panel
    {
        QRectF rect;
        const Axis* x = nullptr;
        const Axis* y = nullptr;

        double px(double value) const
        {
            const double low = axisPosition(*x, x->low);
            const double high = axisPosition(*x, x->high);
            return rect.left() + (axisPosition(*x, value) - low) / (high - low) * rect.width();
        }
        double py(double value) const
        {
            const double low = axisPosition(*y, y->low);
            const double high = axisPosition(*y, y->high);
            return rect.bottom() - (axisPosition(*y, value) - low) / (high - low) * rect.height();
        }
        QPointF at(double xValue, double yValue) const { return { px(xValue), py(yValue) }; }
    };

    /// A polyline through the points, broken where a value is not finite.
    QPainterPath linePath(
        const Panel& panel, const std::vector<double>& xs, const std::vector<double>& ys)
    {
        QPainterPath path;
        bool open = false;
        for (std::size_t i = 0; i < xs.size() && i < ys.size(); ++i) {
            if (!std::isfinite(ys[i])) {
                open = false;
                continue;
            }
            const QPointF point = panel.at(xs[i], ys[i]);
            if (open)
                path.lineTo(point);
            else
                path.moveTo(point);
            open = true;
        }
        return path;
    }

    /// The band as filled pieces, one for every run of points where both edges are shown.
    void paintBand(QPainter& painter, const Panel& panel, const std::vector<double>& xs,
        const plot::Band& band, const QColor& fill, const QPen& edge)
    {
        std::size_t i = 0;
        while (i < xs.size()) {
            while (i < xs.size() && !(std::isfinite(band.lower[i]) && std::isfinite(band.upper[i])))
                ++i;
            const std::size_t first = i;
            while (i < xs.size() && std::isfinite(band.lower[i]) && std::isfinite(band.upper[i]))
                ++i;
            if (i - first < 2)
                continue;
            QPolygonF outline;
            for (std::size_t k = first; k < i; ++k)
                outline << panel.at(xs[k], band.upper[k]);
            for (std::size_t k = i; k-- > first;)
                outline << panel.at(xs[k], band.lower[k]);
            painter.setPen(Qt::NoPen);
            painter.setBrush(fill);
            painter.drawPolygon(outline);
        }
        painter.setBrush(Qt::NoBrush);
        if (edge.style() == Qt::NoPen)
            return;
        painter.setPen(edge);
        painter.drawPath(linePath(panel, xs, band.upper));
        painter.drawPath(linePath(panel, xs, band.lower));
    }

    void paintSamples(
        QPainter& painter, const Panel& panel, const plot::Series& samples, const Style& style)
    {
        QColor fill = kSampleColour;
        fill.setAlpha(170);
        painter.setPen(QPen(kSampleColour.darker(130), std::max(1.0, 0.06 * style.em)));
        painter.setBrush(fill);
        for (std::size_t i = 0; i < samples.x.size(); ++i)
            painter.drawEllipse(panel.at(samples.x[i], samples.y[i]), style.mark, style.mark);
        painter.setBrush(Qt::NoBrush);
    }

    bool inside(const Axis& axis, double value)
    {
        return value >= std::min(axis.low, axis.high) && value <= std::max(axis.low, axis.high);
    }

    /// Grid lines, tick marks and tick labels of a panel: y labels on the left, x labels below
    /// when xLabels.
    void paintAxes(QPainter& painter, const Panel& panel, const Style& style, bool xLabels)
    {
        const double tick = 0.35 * style.em;
        painter.setPen(QPen(kGridColour, std::max(1.0, 0.06 * style.em)));
        for (const plot::Tick& t : panel.x->ticks)
            if (inside(*panel.x, t.value))
                painter.drawLine(QPointF(panel.px(t.value), panel.rect.top()),
                    QPointF(panel.px(t.value), panel.rect.bottom()));
        for (const plot::Tick& t : panel.y->ticks)
            if (inside(*panel.y, t.value))
                painter.drawLine(QPointF(panel.rect.left(), panel.py(t.value)),
                    QPointF(panel.rect.right(), panel.py(t.value)));

        painter.setPen(QPen(kFrameColour, style.line * 0.8));
        painter.drawRect(panel.rect);
        for (double minor : panel.x->minorTicks)
            painter.drawLine(QPointF(panel.px(minor), panel.rect.bottom()),
                QPointF(panel.px(minor), panel.rect.bottom() - 0.5 * tick));
        for (double minor : panel.y->minorTicks)
            painter.drawLine(QPointF(panel.rect.left(), panel.py(minor)),
                QPointF(panel.rect.left() + 0.5 * tick, panel.py(minor)));

        painter.setFont(style.small);
        const QFontMetricsF metrics(style.small, painter.device());
        for (const plot::Tick& t : panel.x->ticks) {
            if (!inside(*panel.x, t.value))
                continue;
            const double x = panel.px(t.value);
            painter.drawLine(
                QPointF(x, panel.rect.bottom()), QPointF(x, panel.rect.bottom() - tick));
            if (!xLabels)
                continue;
            const QString text = QString::fromStdString(t.text);
            const double width = metrics.horizontalAdvance(text);
            painter.drawText(QRectF(x - width, panel.rect.bottom() + 0.3 * style.em, 2 * width,
                                 metrics.height()),
                Qt::AlignHCenter | Qt::AlignTop, text);
        }
        for (const plot::Tick& t : panel.y->ticks) {
            if (!inside(*panel.y, t.value))
                continue;
            const double y = panel.py(t.value);
            painter.drawLine(QPointF(panel.rect.left(), y), QPointF(panel.rect.left() + tick, y));
            const QString text = QString::fromStdString(t.text);
            painter.drawText(QRectF(panel.rect.left() - 0.4 * style.em - 20 * style.em,
                                 y - metrics.height() / 2, 20 * style.em, metrics.height()),
                Qt::AlignRight | Qt::AlignVCenter, text);
        }
    }

    void paintVerticalTitle(
        QPainter& painter, const QString& title, double x, const QRectF& span, const Style& style)
    {
        painter.save();
        painter.setFont(style.text);
        painter.translate(x, span.center().y());
        painter.rotate(-90.0);
        const QFontMetricsF metrics(style.text, painter.device());
        const QString shown = metrics.elidedText(title, Qt::ElideRight, span.height());
        painter.drawText(QRectF(-span.height() / 2, 0, span.height(), metrics.height()),
            Qt::AlignHCenter | Qt::AlignTop, shown);
        painter.restore();
    }

    void paintSwatch(QPainter& painter, LegendKind kind, const QRectF& box, const Style& style)
    {
        const QPointF left(box.left(), box.center().y());
        const QPointF right(box.right(), box.center().y());
        switch (kind) {
        case LegendKind::Samples: {
            QColor fill = kSampleColour;
            fill.setAlpha(170);
            painter.setPen(QPen(kSampleColour.darker(130), std::max(1.0, 0.06 * style.em)));
            painter.setBrush(fill);
            painter.drawEllipse(box.center(), style.mark, style.mark);
            break;
        }
        case LegendKind::Curve:
            painter.setPen(QPen(kCurveColour, style.line * 1.4));
            painter.drawLine(left, right);
            break;
        case LegendKind::Identity:
            painter.setPen(QPen(kIdentityColour, style.line, Qt::DashLine));
            painter.drawLine(left, right);
            break;
        case LegendKind::ConfidenceBand:
            painter.fillRect(
                box.adjusted(0, box.height() * 0.2, 0, -box.height() * 0.2), kConfidenceFill);
            break;
        case LegendKind::PredictionBand:
            painter.fillRect(
                box.adjusted(0, box.height() * 0.2, 0, -box.height() * 0.2), kPredictionFill);
            painter.setPen(QPen(kPredictionEdge, std::max(1.0, 0.06 * style.em), Qt::DashLine));
            painter.drawRect(box.adjusted(0, box.height() * 0.2, 0, -box.height() * 0.2));
            break;
        }
        painter.setBrush(Qt::NoBrush);
    }

    /// How many of the plot's samples and curve points a rectangle would hide.
    int covered(const Panel& panel, const FitPlot& plot, const QRectF& box)
    {
        int count = 0;
        for (std::size_t i = 0; i < plot.samples.x.size(); ++i)
            count += box.contains(panel.at(plot.samples.x[i], plot.samples.y[i])) ? 4 : 0;
        for (std::size_t i = 0; i < plot.curve.x.size(); ++i)
            if (std::isfinite(plot.curve.y[i]))
                count += box.contains(panel.at(plot.curve.x[i], plot.curve.y[i])) ? 1 : 0;
        return count;
    }

    void paintLegend(QPainter& painter, const Panel& panel, const FitPlot& plot, const Style& style)
    {
        if (plot.legend.empty())
            return;
        const QFontMetricsF metrics(style.small, painter.device());
        const double swatch = 2.0 * style.em;
        const double padding = 0.5 * style.em;
        const double row = metrics.height() * 1.25;
        const double widest = 0.45 * panel.rect.width() - swatch - 3 * padding;
        double labelWidth = 0.0;
        std::vector<QString> labels;
        for (const plot::LegendEntry& entry : plot.legend) {
            labels.push_back(metrics.elidedText(
                QString::fromStdString(entry.label), Qt::ElideRight, std::max(widest, style.em)));
            labelWidth = std::max(labelWidth, metrics.horizontalAdvance(labels.back()));
        }
        const QSizeF size(swatch + labelWidth + 3 * padding,
            row * static_cast<double>(labels.size()) + 2 * padding - (row - metrics.height()));
        const QRectF inner = panel.rect.adjusted(padding, padding, -padding, -padding);
        const std::array<QRectF, 4> corners { QRectF(inner.topLeft(), size),
            QRectF(QPointF(inner.right() - size.width(), inner.top()), size),
            QRectF(QPointF(inner.right() - size.width(), inner.bottom() - size.height()), size),
            QRectF(QPointF(inner.left(), inner.bottom() - size.height()), size) };
        QRectF box = corners[0];
        int least = covered(panel, plot, box);
        for (const QRectF& corner : corners) {
            if (const int count = covered(panel, plot, corner); count < least) {
                least = count;
                box = corner;
            }
        }
        painter.setPen(QPen(kGridColour.darker(115), std::max(1.0, 0.06 * style.em)));
        painter.setBrush(QColor(255, 255, 255, 225));
        painter.drawRect(box);
        painter.setFont(style.small);
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const double top = box.top() + padding + row * static_cast<double>(i);
            paintSwatch(painter, plot.legend[i].kind,
                QRectF(box.left() + padding, top, swatch, metrics.height()), style);
            painter.setPen(kFrameColour);
            painter.drawText(QRectF(box.left() + 2 * padding + swatch, top, labelWidth + padding,
                                 metrics.height()),
                Qt::AlignLeft | Qt::AlignVCenter, labels[i]);
        }
    }

    void paintMainPanel(
        QPainter& painter, const Panel& panel, const FitPlot& plot, const Style& style)
    {
        paintAxes(painter, panel, style, false);
        painter.save();
        painter.setClipRect(panel.rect);
        if (plot.prediction.shown())
            paintBand(painter, panel, plot.curve.x, plot.prediction, kPredictionFill,
                QPen(kPredictionEdge, std::max(1.0, 0.08 * style.em), Qt::DashLine));
        if (plot.confidence.shown())
            paintBand(painter, panel, plot.curve.x, plot.confidence, kConfidenceFill, Qt::NoPen);
        if (plot.kind == plot::PlotKind::MeasuredAgainstFitted)
            painter.setPen(QPen(kIdentityColour, style.line, Qt::DashLine));
        else
            painter.setPen(
                QPen(kCurveColour, style.line * 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(linePath(panel, plot.curve.x, plot.curve.y));
        paintSamples(painter, panel, plot.samples, style);
        painter.restore();
        paintLegend(painter, panel, plot, style);
    }

    void paintResidualPanel(
        QPainter& painter, const Panel& panel, const FitPlot& plot, const Style& style)
    {
        paintAxes(painter, panel, style, true);
        painter.save();
        painter.setClipRect(panel.rect);
        painter.setPen(QPen(kFrameColour, style.line * 0.8, Qt::DashLine));
        painter.drawLine(
            QPointF(panel.rect.left(), panel.py(0.0)), QPointF(panel.rect.right(), panel.py(0.0)));
        paintSamples(painter, panel, plot.residuals.points, style);
        painter.restore();
    }

    double widestTick(const QFontMetricsF& metrics, const Axis& axis)
    {
        double width = 0.0;
        for (const plot::Tick& t : axis.ticks)
            width = std::max(width, metrics.horizontalAdvance(QString::fromStdString(t.text)));
        return width;
    }

} // namespace

void paintPlot(QPainter& painter, const QRectF& target, const FitPlot& plot)
{
    painter.save();
    painter.fillRect(target, Qt::white);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const Style style = styleFor(target);
    const QFontMetricsF text(style.text, painter.device());
    const QFontMetricsF small(style.small, painter.device());
    const QFontMetricsF title(style.title, painter.device());
    const double pad = 0.8 * style.em;

    const double titleHeight = plot.title.empty() ? 0.0 : title.height() + 0.5 * style.em;
    const double notesHeight = small.height() * static_cast<double>(plot.notes.size());
    const double labelWidth
        = std::max(widestTick(small, plot.y), widestTick(small, plot.residuals.y));
    const double left
        = target.left() + pad + text.height() + 0.6 * style.em + labelWidth + 0.4 * style.em;
    const double right = target.right() - pad - 0.5 * widestTick(small, plot.x);
    const double top = target.top() + pad + titleHeight;
    const double bottom = target.bottom() - pad - notesHeight
        - (notesHeight > 0 ? 0.4 * style.em : 0.0) - text.height() - small.height()
        - 0.8 * style.em;
    const double gap = 0.6 * style.em;
    if (right - left < 4 * style.em || bottom - top < 6 * style.em) {
        painter.restore();
        return; // too small to hold a readable plot
    }
    const double mainHeight = (bottom - top - gap) * kMainPanelShare;
    const Panel main { QRectF(left, top, right - left, mainHeight), &plot.x, &plot.y };
    const Panel residual { QRectF(left, top + mainHeight + gap, right - left,
                               bottom - top - mainHeight - gap),
        &plot.x, &plot.residuals.y };

    painter.setPen(kFrameColour);
    if (!plot.title.empty()) {
        painter.setFont(style.title);
        painter.drawText(QRectF(left, target.top() + pad, right - left, title.height()),
            Qt::AlignHCenter | Qt::AlignTop,
            title.elidedText(QString::fromStdString(plot.title), Qt::ElideRight, right - left));
    }
    paintMainPanel(painter, main, plot, style);
    paintResidualPanel(painter, residual, plot, style);

    painter.setPen(kFrameColour);
    const double titleX = target.left() + pad;
    paintVerticalTitle(painter, QString::fromStdString(plot.y.title), titleX, main.rect, style);
    paintVerticalTitle(
        painter, QString::fromStdString(plot.residuals.y.title), titleX, residual.rect, style);
    painter.setFont(style.text);
    const double xTitleTop = bottom + 0.3 * style.em + small.height() + 0.4 * style.em;
    painter.drawText(QRectF(left, xTitleTop, right - left, text.height()),
        Qt::AlignHCenter | Qt::AlignTop,
        text.elidedText(QString::fromStdString(plot.x.title), Qt::ElideRight, right - left));

    painter.setFont(style.small);
    painter.setPen(kNoteColour);
    double noteTop = xTitleTop + text.height() + 0.4 * style.em;
    for (const std::string& note : plot.notes) {
        painter.drawText(
            QRectF(target.left() + pad, noteTop, target.width() - 2 * pad, small.height()),
            Qt::AlignLeft | Qt::AlignTop,
            small.elidedText(
                QString::fromStdString(note), Qt::ElideRight, target.width() - 2 * pad));
        noteTop += small.height();
    }
    painter.restore();
}

} // namespace quantem::ui
