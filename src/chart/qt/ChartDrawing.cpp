#include "chart/qt/ChartDrawing.h"

#include "chart/ChartLayers.h"
#include "core/Canvas.h"
#include "core/Form2.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace quantem::ui {

namespace {

    using chart::DrawingLayer;

    // Room kept between a tick label and the Y axis, and around an exported chart.
    constexpr double kLabelGapTwips = 45.0;
    constexpr double kMarginTwips = 120.0;
    // The origin label ends just left of the Y axis, level with the X tick labels.
    constexpr double kOriginLabelRight = 2900.0;
    constexpr double kOriginLabelTop = 7880.0;
    // A sample point is a filled circle a few pixels wider than its drawing width.
    constexpr double kMarkerExtraPixels = 4.0;

    QColor qtColour(core::Colour colour) { return QColor(colour.red, colour.green, colour.blue); }

    // Cuts the segment to the rectangle (Liang-Barsky). Points of a curve far off the surface
    // are passed as computed; the painter is only given what can be seen.
    bool clipSegment(QPointF& a, QPointF& b, const QRectF& box)
    {
        double t0 = 0.0;
        double t1 = 1.0;
        const double dx = b.x() - a.x();
        const double dy = b.y() - a.y();
        const double p[4] = { -dx, dx, -dy, dy };
        const double q[4]
            = { a.x() - box.left(), box.right() - a.x(), a.y() - box.top(), box.bottom() - a.y() };
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0.0) {
                if (q[i] < 0.0)
                    return false;
                continue;
            }
            const double t = q[i] / p[i];
            if (p[i] < 0.0) {
                if (t > t1)
                    return false;
                if (t > t0)
                    t0 = t;
            } else {
                if (t < t0)
                    return false;
                if (t < t1)
                    t1 = t;
            }
        }
        const QPointF start = a;
        a = QPointF(start.x() + t0 * dx, start.y() + t0 * dy);
        b = QPointF(start.x() + t1 * dx, start.y() + t1 * dy);
        return true;
    }

    DrawingLayer layerOfCall(core::Colour colour) { return chart::layerOf(colour); }

    /// Twips to device units for one painting.
    struct Mapping
    {
        double scale;
        QPointF origin; // device position of twip (0, 0)
        QPointF operator()(QPointF twips) const { return origin + twips * scale; }
    };

    Mapping mappingOf(const QRectF& source, const QRectF& target)
    {
        const double scale
            = std::min(target.width() / source.width(), target.height() / source.height());
        const QPointF used(source.width() * scale, source.height() * scale);
        const QPointF corner
            = target.topLeft() + QPointF(target.width() - used.x(), target.height() - used.y()) / 2;
        return Mapping { scale, corner - source.topLeft() * scale };
    }

    QFont textFont(double pixels)
    {
        QFont font;
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
        return font;
    }

    // A tick label left of the Y axis that would reach it moves left until it clears it.
    double clearOfYAxis(double x, double width)
    {
        const double limit = core::PlotArea::left - kLabelGapTwips;
        if (x < core::PlotArea::left && x + width > limit)
            return limit - width;
        return x;
    }

} // namespace

void ChartDrawing::line(double x1, double y1, double x2, double y2, core::Colour colour, int width)
{
    m_calls.push_back(
        Call { Call::Kind::Line, QPointF(x1, y1), QPointF(x2, y2), colour, width, {} });
}

void ChartDrawing::point(double x, double y, core::Colour colour, int width)
{
    m_calls.push_back(Call { Call::Kind::Point, QPointF(x, y), QPointF(x, y), colour, width, {} });
}

void ChartDrawing::text(double x, double y, const std::string& text, core::Colour colour)
{
    m_calls.push_back(Call {
        Call::Kind::Text, QPointF(x, y), QPointF(x, y), colour, 0, QString::fromStdString(text) });
}

QRectF ChartDrawing::chartArea(const QString& originLabel) const
{
    // The plot from the Y arrow's point to the X arrow's point and the X tick labels below it.
    QRectF area(QPointF(core::PlotArea::left - 60.0, 50.0), QPointF(11850.0, 7880.0 + m_textTwips));
    const QFontMetricsF metrics(textFont(m_textTwips));
    for (const Call& call : m_calls) {
        if (call.kind != Call::Kind::Text)
            continue;
        const double width = metrics.horizontalAdvance(call.text);
        const double left = clearOfYAxis(call.a.x(), width);
        area |= QRectF(left, call.a.y(), width, m_textTwips * 1.3);
    }
    if (!originLabel.isEmpty()) {
        const double width = metrics.horizontalAdvance(originLabel);
        area |= QRectF(kOriginLabelRight - width, kOriginLabelTop, width, m_textTwips * 1.3);
    }
    return area.adjusted(-kMarginTwips, -kMarginTwips, kMarginTwips, kMarginTwips);
}

void ChartDrawing::paint(
    QPainter& painter, const QRectF& source, const QRectF& target, const QString& originLabel) const
{
    if (source.isEmpty() || target.isEmpty())
        return;
    const Mapping map = mappingOf(source, target);
    // Lines are cut a little beyond the painted part, so a wide pen at its edge still shows.
    const QRectF reach = source.adjusted(-240.0, -240.0, 240.0, 240.0);
    const double pixel = core::kTwipsPerPixel * map.scale; // one window pixel in device units
    const QFont font = textFont(m_textTwips * map.scale);
    const QFontMetricsF metrics(font);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setClipRect(QRectF(map(source.topLeft()), map(source.bottomRight())));
    painter.setFont(font);

    const auto penOf = [pixel](core::Colour colour, int width) {
        QPen pen(qtColour(colour));
        pen.setWidthF(std::max(width, 1) * pixel);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        return pen;
    };

    for (DrawingLayer layer : { DrawingLayer::Axes, DrawingLayer::Samples, DrawingLayer::Curve }) {
        // Joined segments of one colour become one path, so a curve is one stroke.
        QPainterPath path;
        core::Colour pathColour;
        int pathWidth = 1;
        QPointF pathEnd;
        const auto flush = [&] {
            if (path.isEmpty())
                return;
            painter.setBrush(Qt::NoBrush);
            painter.setPen(penOf(pathColour, pathWidth));
            painter.drawPath(path);
            path = QPainterPath();
        };
        for (const Call& call : m_calls) {
            const DrawingLayer callLayer
                = call.kind == Call::Kind::Text ? DrawingLayer::Axes : layerOfCall(call.colour);
            if (callLayer != layer)
                continue;
            switch (call.kind) {
            case Call::Kind::Line: {
                QPointF a = call.a;
                QPointF b = call.b;
                if (!clipSegment(a, b, reach))
                    break;
                if (layer != DrawingLayer::Curve) {
                    painter.setPen(penOf(call.colour, call.width));
                    painter.drawLine(map(a), map(b));
                    break;
                }
                if (!path.isEmpty() && (call.colour != pathColour || call.width != pathWidth))
                    flush();
                if (path.isEmpty() || a != pathEnd)
                    path.moveTo(map(a));
                path.lineTo(map(b));
                pathEnd = b;
                pathColour = call.colour;
                pathWidth = call.width;
                break;
            }
            case Call::Kind::Point: {
                if (!reach.contains(call.a))
                    break;
                const double radius = (std::max(call.width, 1) + kMarkerExtraPixels) * pixel / 2;
                painter.setPen(Qt::NoPen);
                painter.setBrush(qtColour(call.colour));
                painter.drawEllipse(map(call.a), radius, radius);
                break;
            }
            case Call::Kind::Text: {
                if (!reach.contains(call.a))
                    break;
                const double x
                    = clearOfYAxis(call.a.x(), metrics.horizontalAdvance(call.text) / map.scale);
                painter.setPen(qtColour(call.colour));
                painter.drawText(
                    map(QPointF(x, call.a.y())) + QPointF(0, metrics.ascent()), call.text);
                break;
            }
            }
        }
        flush();
    }

    if (!originLabel.isEmpty()) {
        painter.setPen(Qt::black);
        const QPointF topRight = map(QPointF(kOriginLabelRight, kOriginLabelTop));
        painter.drawText(QPointF(topRight.x() - metrics.horizontalAdvance(originLabel),
                             topRight.y() + metrics.ascent()),
            originLabel);
    }
    painter.restore();
}

} // namespace quantem::ui
