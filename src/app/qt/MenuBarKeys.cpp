#include "app/qt/MenuBarKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

namespace quantem::ui {

MenuBarKeys::MenuBarKeys(QMenuBar& bar, QWidget& window)
    : QObject(&window)
    , m_bar(bar)
    , m_window(window)
{
    // The keys reach popups and the window's widgets first, so they are watched for the whole
    // program; only those of this bar and window are taken.
    qApp->installEventFilter(this);
}

MenuBarKeys::~MenuBarKeys() { qApp->removeEventFilter(this); }

void MenuBarKeys::addMnemonic(QAction* entry, char letter)
{
    auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key(letter)), &m_window);
    connect(shortcut, &QShortcut::activated, this, [this, entry] { open(entry); });
}

void MenuBarKeys::open(QAction* entry)
{
    // While a run owns the session the bar is disabled, and so are its letters.
    if (!m_bar.isEnabled() || !entry->isEnabled())
        return;
    endWalk();
    if (entry->menu() != nullptr)
        m_bar.setActiveAction(entry);
    else
        entry->trigger();
}

bool MenuBarKeys::step(int direction)
{
    const QList<QAction*> entries = m_bar.actions();
    const auto count = entries.size();
    qsizetype index = entries.indexOf(m_bar.activeAction());
    if (index < 0 || count == 0)
        return false;
    // The walk wraps round at both ends, as Qt's own does, and passes hidden or disabled entries.
    for (qsizetype tried = 1; tried < count; ++tried) {
        index = (index + direction + count) % count;
        QAction* next = entries.at(index);
        if (next->isSeparator() || !next->isVisible() || !next->isEnabled())
            continue;
        m_walking = next->menu() == nullptr;
        m_bar.setActiveAction(next); // opens the entry's menu, closing the one open before
        return true;
    }
    return false;
}

bool MenuBarKeys::walkKey(QObject* watched, int key)
{
    const bool sideways = key == Qt::Key_Left || key == Qt::Key_Right;
    const int direction = key == Qt::Key_Left ? -1 : 1;
    if (auto* menu = qobject_cast<QMenu*>(watched); menu != nullptr && isOwnMenu(menu)) {
        // A highlighted item with a menu of its own opens it on Right; Qt does that.
        const QAction* item = menu->activeAction();
        if (!sideways || (key == Qt::Key_Right && item != nullptr && item->menu() != nullptr))
            return false;
        return step(direction);
    }
    if (!m_walking || !isInWindow(watched) || QApplication::activePopupWidget() != nullptr)
        return false;
    if (sideways)
        return step(direction);
    QAction* entry = m_bar.activeAction();
    endWalk();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (entry != nullptr)
            entry->trigger();
        return true;
    }
    return key == Qt::Key_Escape;
}

void MenuBarKeys::endWalk()
{
    if (!m_walking)
        return;
    m_walking = false;
    m_bar.setActiveAction(nullptr);
}

bool MenuBarKeys::isOwnMenu(QObject* watched) const
{
    const auto* menu = qobject_cast<QMenu*>(watched);
    return menu != nullptr && m_bar.actions().contains(menu->menuAction());
}

bool MenuBarKeys::isInWindow(QObject* watched) const
{
    const auto* widget = qobject_cast<QWidget*>(watched);
    return widget != nullptr && widget->window() == &m_window;
}

bool MenuBarKeys::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        return walkKey(watched, static_cast<QKeyEvent*>(event)->key());
    case QEvent::MouseButtonPress:
        // A click ends a walk by the keys, wherever it lands.
        if (m_walking && isInWindow(watched))
            endWalk();
        return false;
    default:
        return false;
    }
}

} // namespace quantem::ui
