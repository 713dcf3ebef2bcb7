#include "chart/qt/QtCanvas.h"

#include <QPainter>

#include <cmath>
#include <cstring>

namespace quantem::ui {

double pixelsOf(double twips) { return twips / core::kTwipsPerPixel; }

QtCanvas::QtCanvas(int widthTwips, int heightTwips, QColor background)
    : m_image(static_cast<int>(std::lround(pixelsOf(widthTwips))),
        static_cast<int>(std::lround(pixelsOf(heightTwips))), QImage::Format_RGB32)
    , m_background(background)
{
    m_image.fill(m_background);
}

QRectF QtCanvas::surface() const
{
    return QRectF(
        0.0, 0.0, m_image.width() * core::kTwipsPerPixel, m_image.height() * core::kTwipsPerPixel);
}

const QImage& QtCanvas::image() const
{
    if (m_stale) {
        m_image.fill(m_background);
        QPainter painter(&m_image);
        m_drawing.paint(painter, surface(), QRectF(m_image.rect()));
        m_stale = false;
    }
    return m_image;
}

void QtCanvas::setFont(const QFont& font)
{
    // Twips are twentieths of a point; a font sized in pixels counts 15 twips a pixel.
    if (font.pointSizeF() > 0)
        m_drawing.setTextHeight(font.pointSizeF() * 20.0);
    else if (font.pixelSize() > 0)
        m_drawing.setTextHeight(font.pixelSize() * core::kTwipsPerPixel);
    m_stale = true;
}

void QtCanvas::clear()
{
    m_drawing.clear();
    m_stale = true;
}

void QtCanvas::line(double x1, double y1, double x2, double y2, core::Colour colour, int width)
{
    m_drawing.line(x1, y1, x2, y2, colour, width);
    m_stale = true;
}

void QtCanvas::point(double x, double y, core::Colour colour, int width)
{
    m_drawing.point(x, y, colour, width);
    m_stale = true;
}

void QtCanvas::text(double x, double y, const std::string& text, core::Colour colour)
{
    m_drawing.text(x, y, text, colour);
    m_stale = true;
}

QImage imageOf(const core::Picture& picture)
{
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    for (int row = 0; row < picture.height; ++row)
        std::memcpy(image.scanLine(row),
            picture.pixels.data()
                + static_cast<std::size_t>(row) * static_cast<std::size_t>(picture.width),
            static_cast<std::size_t>(picture.width) * sizeof(std::uint32_t));
    return image;
}

core::Picture pictureOf(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    core::Picture picture;
    picture.width = rgb.width();
    picture.height = rgb.height();
    picture.pixels.resize(
        static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height));
    for (int row = 0; row < picture.height; ++row)
        std::memcpy(picture.pixels.data()
                + static_cast<std::size_t>(row) * static_cast<std::size_t>(picture.width),
            rgb.constScanLine(row),
            static_cast<std::size_t>(picture.width) * sizeof(std::uint32_t));
    return picture;
}

} // namespace quantem::ui
