#include "app/qt/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quantem::ui {

QIcon fitAllModelsIcon()
{
    // Bars of falling length: models ranked best first.
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QColor colours[] { QColor(40, 120, 60), QColor(70, 130, 200), QColor(70, 130, 200),
        QColor(160, 160, 160) };
    for (int i = 0; i < 4; ++i)
        painter.fillRect(3, 3 + 5 * i, 18 - 4 * i, 3, colours[i]);
    painter.end();
    return QIcon(pixmap);
}

QIcon ownEquationIcon()
{
    // A curve through dots under a written "f": a fit of one's own formula.
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath curve;
    curve.moveTo(3, 21);
    curve.cubicTo(9, 20, 12, 8, 21, 6);
    painter.setPen(QPen(QColor(200, 60, 50), 2));
    painter.drawPath(curve);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(70, 130, 200));
    for (const QPointF dot : { QPointF(5, 19), QPointF(10, 15), QPointF(14, 10), QPointF(19, 8) })
        painter.drawEllipse(dot, 1.8, 1.8);
    QFont font = painter.font();
    font.setItalic(true);
    font.setBold(true);
    font.setPixelSize(11);
    painter.setFont(font);
    painter.setPen(QColor(40, 40, 40));
    painter.drawText(QRectF(2, 0, 12, 12), Qt::AlignCenter, QStringLiteral("f"));
    painter.end();
    return QIcon(pixmap);
}

} // namespace quantem::ui
