#include "app/qt/Artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <cmath>

namespace quantem::ui {

namespace {

    double curve(double x) { return 0.06 + 0.82 * std::sqrt(x); }

    // Sample points of the pictures, in units of the drawing box (0..1, y up): the curve's
    // values with a little measured scatter.
    struct Sample
    {
        double x;
        double scatter;
    };
    constexpr std::array<Sample, 11> kSamples { {
        { 0.04, 0.035 },
        { 0.12, -0.045 },
        { 0.20, 0.025 },
        { 0.29, -0.030 },
        { 0.37, 0.045 },
        { 0.46, -0.020 },
        { 0.55, 0.030 },
        { 0.64, -0.040 },
        { 0.73, 0.020 },
        { 0.83, -0.025 },
        { 0.94, 0.015 },
    } };

    QPointF place(const QRectF& box, QPointF unit)
    {
        return { box.left() + unit.x() * box.width(), box.bottom() - unit.y() * box.height() };
    }

    void drawFit(QPainter& painter, const QRectF& box, const QColor& line, const QColor& points,
        double pointRadius, double lineWidth)
    {
        QPainterPath path;
        constexpr int kSteps = 48;
        for (int i = 0; i <= kSteps; ++i) {
            const double x = 0.02 + 0.96 * i / kSteps;
            const QPointF p = place(box, QPointF(x, curve(x)));
            if (i == 0)
                path.moveTo(p);
            else
                path.lineTo(p);
        }
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(line, lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
        painter.setPen(Qt::NoPen);
        painter.setBrush(points);
        for (const Sample& sample : kSamples) {
            const QPointF unit(sample.x, curve(sample.x) + sample.scatter);
            painter.drawEllipse(place(box, unit), pointRadius, pointRadius);
        }
    }

    QFont titleFont(int pixelSize)
    {
        QFont font;
        font.setFamilies({ QStringLiteral("DejaVu Sans"), QStringLiteral("WenQuanYi Micro Hei") });
        font.setPixelSize(pixelSize);
        font.setBold(true);
        return font;
    }

    // Toolbar icons are drawn in a 24 x 24 box at twice the resolution.
    constexpr int kIconScale = 2;
    constexpr int kIconBox = 24;

    QPixmap iconCanvas()
    {
        QPixmap pixmap(kIconBox * kIconScale, kIconBox * kIconScale);
        pixmap.fill(Qt::transparent);
        return pixmap;
    }

    void drawDataSheet(QPainter& p)
    {
        p.setPen(QPen(QColor(60, 80, 110), 1.2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3, 3, 18, 18));
        p.setBrush(QColor(70, 130, 200));
        p.drawRect(QRectF(3, 3, 18, 5));
        p.setPen(QPen(QColor(150, 165, 185), 0.8));
        for (double y : { 12.5, 17.0 })
            p.drawLine(QPointF(3.5, y), QPointF(20.5, y));
        for (double x : { 9.0, 15.0 })
            p.drawLine(QPointF(x, 8.5), QPointF(x, 20.5));
    }

    void drawRegress(QPainter& p)
    {
        p.setPen(QPen(QColor(200, 40, 40), 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3, 20), QPointF(21, 5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 90, 190));
        for (QPointF point : { QPointF(5, 16), QPointF(8, 18.5), QPointF(11, 11.5),
                 QPointF(14, 13.5), QPointF(17, 7), QPointF(19.5, 9.5) })
            p.drawEllipse(point, 1.9, 1.9);
    }

    void drawClear(QPainter& p)
    {
        p.save();
        p.translate(12, 11);
        p.rotate(-35);
        p.setPen(QPen(QColor(120, 60, 80), 1.0));
        p.setBrush(QColor(240, 120, 150));
        p.drawRoundedRect(QRectF(-3, -4.5, 11, 9), 1.5, 1.5);
        p.setBrush(QColor(235, 235, 240));
        p.drawRoundedRect(QRectF(-9, -4.5, 6, 9), 1.5, 1.5);
        p.restore();
        p.setPen(QPen(QColor(90, 90, 90), 1.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 21), QPointF(20, 21));
    }

    void drawChart(QPainter& p)
    {
        p.setPen(QPen(QColor(40, 40, 40), 1.6, Qt::SolidLine, Qt::SquareCap));
        p.drawLine(QPointF(4, 3), QPointF(4, 20));
        p.drawLine(QPointF(4, 20), QPointF(21, 20));
        QPainterPath path;
        path.moveTo(5, 18);
        path.cubicTo(9, 4, 13, 4, 15, 11);
        path.cubicTo(16.5, 15, 19, 13, 21, 6);
        p.setPen(QPen(QColor(20, 140, 70), 2.0, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }

    void drawCalculator(QPainter& p)
    {
        p.setPen(QPen(QColor(50, 50, 60), 1.2));
        p.setBrush(QColor(105, 110, 125));
        p.drawRoundedRect(QRectF(5, 2, 14, 20), 2, 2);
        p.setBrush(QColor(190, 230, 190));
        p.drawRect(QRectF(7, 4, 10, 4.5));
        p.setPen(Qt::NoPen);
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column) {
                p.setBrush(row == 2 && column == 2 ? QColor(240, 150, 40) : QColor(235, 235, 235));
                p.drawRect(QRectF(7 + column * 3.6, 10.5 + row * 3.6, 2.6, 2.6));
            }
    }

    void drawReport(QPainter& p)
    {
        QPainterPath sheet;
        sheet.moveTo(5, 2);
        sheet.lineTo(15, 2);
        sheet.lineTo(20, 7);
        sheet.lineTo(20, 22);
        sheet.lineTo(5, 22);
        sheet.closeSubpath();
        p.setPen(QPen(QColor(70, 70, 90), 1.2));
        p.setBrush(Qt::white);
        p.drawPath(sheet);
        p.setBrush(QColor(210, 210, 225));
        p.drawPolygon(QPolygonF({ QPointF(15, 2), QPointF(15, 7), QPointF(20, 7) }));
        p.setPen(QPen(QColor(60, 100, 180), 1.2));
        for (double y : { 10.0, 13.0, 16.0, 19.0 })
            p.drawLine(QPointF(8, y), QPointF(y > 18 ? 13 : 17, y));
    }

    void drawSupport(QPainter& p)
    {
        const QPointF centre(12, 12);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 50, 50));
        p.drawEllipse(centre, 10, 10);
        p.setBrush(Qt::white);
        for (int quarter = 0; quarter < 4; ++quarter)
            p.drawPie(QRectF(2, 2, 20, 20), (quarter * 90 + 20) * 16, 50 * 16);
        p.setBrush(QColor(245, 245, 245));
        p.setPen(QPen(QColor(150, 40, 40), 0.8));
        p.drawEllipse(centre, 5, 5);
    }

    void drawCopyright(QPainter& p)
    {
        p.setPen(QPen(QColor(110, 70, 20), 1.8));
        p.setBrush(QColor(250, 235, 190));
        p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
        p.setPen(QPen(QColor(110, 70, 20), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(7.5, 7.5, 9, 9), 45 * 16, 270 * 16);
    }

    void drawHelp(QPainter& p)
    {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 110, 210));
        p.drawEllipse(QPointF(12, 12), 10, 10);
        p.setPen(Qt::white);
        QFont font = titleFont(15);
        p.setFont(font);
        p.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter, QStringLiteral("?"));
    }

    void drawExit(QPainter& p)
    {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 45, 45));
        p.drawEllipse(QPointF(12, 12), 10, 10);
        p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(6.5, 7, 11, 11), 125 * 16, 290 * 16);
        p.drawLine(QPointF(12, 5), QPointF(12, 12));
    }

} // namespace

QPixmap splashPicture(QSize size)
{
    QPixmap pixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF whole(QPointF(0, 0), QSizeF(size));

    QLinearGradient sky(whole.topLeft(), whole.bottomRight());
    sky.setColorAt(0.0, QColor(18, 42, 92));
    sky.setColorAt(1.0, QColor(16, 112, 128));
    painter.fillRect(whole, sky);

    // Faint graph paper under the fit.
    const QRectF plot = whole.adjusted(
        whole.width() * 0.08, whole.height() * 0.36, -whole.width() * 0.08, -whole.height() * 0.10);
    painter.setPen(QPen(QColor(255, 255, 255, 28), 1));
    for (int i = 0; i <= 10; ++i) {
        const double x = plot.left() + plot.width() * i / 10;
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    for (int i = 0; i <= 5; ++i) {
        const double y = plot.top() + plot.height() * i / 5;
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    painter.setPen(QPen(QColor(255, 255, 255, 150), 1.5));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    drawFit(painter, plot, QColor(255, 196, 70), QColor(235, 245, 255), 4.0, 3.0);

    painter.setPen(Qt::white);
    painter.setFont(titleFont(std::max(12, size.height() / 8)));
    painter.drawText(whole.adjusted(0, whole.height() * 0.07, 0, 0),
        Qt::AlignHCenter | Qt::AlignTop, QStringLiteral(" Quantem - QTM"));
    QFont subtitle = titleFont(std::max(9, size.height() / 20));
    subtitle.setBold(false);
    painter.setFont(subtitle);
    painter.setPen(QColor(200, 225, 240));
    painter.drawText(whole.adjusted(0, whole.height() * 0.22, 0, 0),
        Qt::AlignHCenter | Qt::AlignTop,
        QStringLiteral("Regression models fitted by least squares"));
    return pixmap;
}

QPixmap programLogo(int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF whole(0, 0, side, side);
    QLinearGradient fill(whole.topLeft(), whole.bottomRight());
    fill.setColorAt(0.0, QColor(18, 42, 92));
    fill.setColorAt(1.0, QColor(16, 112, 128));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(whole, side * 0.18, side * 0.18);
    const QRectF plot = whole.adjusted(side * 0.16, side * 0.16, -side * 0.14, -side * 0.16);
    drawFit(painter, plot, QColor(255, 196, 70), Qt::white, std::max(1.2, side / 28.0),
        std::max(1.5, side / 20.0));
    return pixmap;
}

QIcon toolbarIcon(std::string_view key)
{
    using Draw = void (*)(QPainter&);
    struct Entry
    {
        std::string_view key;
        Draw draw;
    };
    // clang-format off
    constexpr std::array<Entry, 10> kIcons {{
        { "dk", drawDataSheet }, { "ks", drawRegress },  { "qc", drawClear },
        { "qx", drawChart },     { "mj", drawCalculator }, { "bg", drawReport },
        { "zc", drawSupport },   { "gy", drawCopyright }, { "bz", drawHelp },
        { "tc", drawExit },
    }};
    // clang-format on
    for (const Entry& entry : kIcons) {
        if (entry.key != key)
            continue;
        QPixmap pixmap = iconCanvas();
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(kIconScale, kIconScale);
        entry.draw(painter);
        painter.end();
        return QIcon(pixmap);
    }
    return {};
}

} // namespace quantem::ui
