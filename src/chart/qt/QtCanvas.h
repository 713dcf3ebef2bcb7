#pragma once

#include "chart/qt/ChartDrawing.h"
#include "core/Canvas.h"
#include "core/Form2.h"

#include <QColor>
#include <QFont>
#include <QImage>

namespace quantem::ui {

/// The chart surface: keeps the drawing calls and shows them as an image, 15 twips to a pixel,
/// so the drawing survives repaints, can be shown, grabbed and printed, and exported at any
/// size from the same calls.
class QtCanvas : public core::Canvas
{
public:
    /// A surface of the given size in twips, cleared to the background colour.
    QtCanvas(int widthTwips, int heightTwips, QColor background = Qt::white);

    /// The drawing as the window shows it (painted when first asked for after a change).
    const QImage& image() const;
    const ChartDrawing& drawing() const noexcept { return m_drawing; }
    /// The whole surface in twips.
    QRectF surface() const;
    /// The font of the printed texts; only its size is kept.
    void setFont(const QFont& font);

    void clear() override;
    void line(double x1, double y1, double x2, double y2, core::Colour colour, int width) override;
    void point(double x, double y, core::Colour colour, int width) override;
    void text(double x, double y, const std::string& text, core::Colour colour) override;

private:
    ChartDrawing m_drawing;
    mutable QImage m_image;
    mutable bool m_stale = false;
    QColor m_background;
};

/// Pixels of a length in twips.
double pixelsOf(double twips);

/// A picture as an image and back (32-bit RGB).
QImage imageOf(const core::Picture& picture);
core::Picture pictureOf(const QImage& image);

} // namespace quantem::ui
