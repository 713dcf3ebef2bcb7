#pragma once

#include "core/Canvas.h"
#include "core/Form2.h"

#include <QColor>
#include <QFont>
#include <QImage>

namespace quantem::ui {

/// The chart surface drawn into an image, 15 twips to a pixel, so the drawing survives
/// repaints and can be shown, grabbed and printed.
class QtCanvas : public core::Canvas
{
public:
    /// A surface of the given size in twips, cleared to the background colour.
    QtCanvas(int widthTwips, int heightTwips, QColor background = Qt::white);

    const QImage& image() const noexcept { return m_image; }
    /// The font of the printed texts.
    void setFont(const QFont& font) { m_font = font; }

    void clear() override;
    void line(double x1, double y1, double x2, double y2, core::Colour colour, int width) override;
    void point(double x, double y, core::Colour colour, int width) override;
    void text(double x, double y, const std::string& text, core::Colour colour) override;

private:
    QImage m_image;
    QColor m_background;
    QFont m_font;
};

/// Pixels of a length in twips.
double pixelsOf(double twips);

/// A picture as an image and back (32-bit RGB).
QImage imageOf(const core::Picture& picture);
core::Picture pictureOf(const QImage& image);

} // namespace quantem::ui
