#pragma once

#include "core/WindowStates.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <vector>

class QPainter;

namespace quantem::ui {

/// The chart's drawing calls since the last clear, in twips, kept so that one drawing can be
/// painted at any size on any device: the window's image, a PNG, an SVG or a PDF page.
class ChartDrawing
{
public:
    /// The size of the printed texts, in twips (1/20 of a point).
    void setTextHeight(double twips) { m_textTwips = twips; }
    double textHeight() const noexcept { return m_textTwips; }

    void clear() { m_calls.clear(); }
    void line(double x1, double y1, double x2, double y2, core::Colour colour, int width);
    void point(double x, double y, core::Colour colour, int width);
    void text(double x, double y, const std::string& text, core::Colour colour);
    bool empty() const noexcept { return m_calls.empty(); }

    /// Paints the part source (in twips) of the drawing into target (in the device's units),
    /// scaled alike in both directions and centred: axes first, then the samples, then the
    /// fitted curve as one path. The origin label, when given, ends just left of the Y axis.
    void paint(QPainter& painter, const QRectF& source, const QRectF& target,
        const QString& originLabel = {}) const;

    /// The part of the surface a chart occupies: the plot with its arrows, captions and tick
    /// labels, and a small margin. Points of a curve far outside are not included.
    QRectF chartArea(const QString& originLabel = {}) const;

private:
    struct Call
    {
        enum class Kind
        {
            Line,
            Point,
            Text
        };
        Kind kind;
        QPointF a;
        QPointF b;
        core::Colour colour;
        int width;
        QString text;
    };

    std::vector<Call> m_calls;
    double m_textTwips = 160.0; // 8 points
};

} // namespace quantem::ui
