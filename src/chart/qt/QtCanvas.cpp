#include "chart/qt/QtCanvas.h"

#include <QPainter>
#include <QPen>

#include <cmath>
#include <cstring>

namespace quantem::ui {

namespace {

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

    QRectF reach(const QImage& image)
    {
        // A margin beyond the image, so a wide pen at the edge still draws its visible half.
        return QRectF(-16.0, -16.0, image.width() + 32.0, image.height() + 32.0);
    }

    QPen penOf(core::Colour colour, int width)
    {
        QPen pen(qtColour(colour));
        pen.setWidth(width < 1 ? 1 : width);
        pen.setCapStyle(Qt::RoundCap);
        return pen;
    }

} // namespace

double pixelsOf(double twips) { return twips / core::kTwipsPerPixel; }

QtCanvas::QtCanvas(int widthTwips, int heightTwips, QColor background)
    : m_image(static_cast<int>(std::lround(pixelsOf(widthTwips))),
        static_cast<int>(std::lround(pixelsOf(heightTwips))), QImage::Format_RGB32)
    , m_background(background)
{
    m_image.fill(m_background);
}

void QtCanvas::clear() { m_image.fill(m_background); }

void QtCanvas::line(double x1, double y1, double x2, double y2, core::Colour colour, int width)
{
    QPointF a(pixelsOf(x1), pixelsOf(y1));
    QPointF b(pixelsOf(x2), pixelsOf(y2));
    if (!clipSegment(a, b, reach(m_image)))
        return;
    QPainter painter(&m_image);
    painter.setPen(penOf(colour, width));
    painter.drawLine(a, b);
}

void QtCanvas::point(double x, double y, core::Colour colour, int width)
{
    const QPointF at(pixelsOf(x), pixelsOf(y));
    if (!reach(m_image).contains(at))
        return;
    // A dot of width pixels centred on the pixel the position falls in.
    const int side = width < 1 ? 1 : width;
    const QPoint centre(static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y())));
    QPainter painter(&m_image);
    painter.fillRect(
        QRect(centre.x() - side / 2, centre.y() - side / 2, side, side), qtColour(colour));
}

void QtCanvas::text(double x, double y, const std::string& text, core::Colour colour)
{
    const QPointF at(pixelsOf(x), pixelsOf(y));
    if (!reach(m_image).contains(at))
        return;
    QPainter painter(&m_image);
    painter.setFont(m_font);
    painter.setPen(qtColour(colour));
    painter.drawText(QRectF(at, QSizeF(m_image.width(), m_image.height())),
        Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, QString::fromStdString(text));
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
