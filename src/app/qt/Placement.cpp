#include "app/qt/Placement.h"

#include <QApplication>
#include <QScreen>

namespace quantem::ui {

void placeOverAnchor(QWidget& window, const QWidget* anchor, double heightFraction)
{
    window.adjustSize();
    QRect area;
    if (anchor != nullptr && anchor->isVisible())
        area = anchor->frameGeometry();
    else if (const QScreen* screen = QApplication::primaryScreen())
        area = screen->availableGeometry();
    else
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(
        QPoint(area.center().x(), area.top() + static_cast<int>(area.height() * heightFraction)));
    window.move(frame.topLeft());
}

} // namespace quantem::ui
