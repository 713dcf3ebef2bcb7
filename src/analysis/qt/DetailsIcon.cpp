#include "analysis/qt/DetailsIcon.h"

#include <QPainter>
#include <QPixmap>

#include <array>

namespace quantem::ui {

QIcon fitDetailsIcon()
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 40, 40), 3));
    painter.drawLine(6, 4, 6, 44);
    painter.drawLine(6, 44, 44, 44);
    painter.setPen(QPen(QColor(120, 120, 120), 2, Qt::DashLine));
    painter.drawLine(6, 24, 44, 24);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 80, 220));
    constexpr std::array<QPoint, 7> kDots { { { 12, 18 }, { 17, 29 }, { 22, 21 }, { 27, 31 },
        { 32, 15 }, { 37, 27 }, { 41, 20 } } };
    for (const QPoint& dot : kDots)
        painter.drawEllipse(dot, 3, 3);
    painter.end();
    return QIcon(pixmap);
}

} // namespace quantem::ui
