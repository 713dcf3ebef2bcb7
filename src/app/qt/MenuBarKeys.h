#pragma once

#include <QObject>

class QAction;
class QMenuBar;
class QWidget;

namespace quantem::ui {

/// The keyboard of a window's menu bar. Alt and a letter open an entry's menu, or run an entry
/// that is a command of its own; the captions keep their text, so the letters are given here
/// rather than marked in them. Left and Right walk every entry: Qt hands the keys back to the
/// window once the walk reaches an entry without a menu, so the walk is carried on here, where
/// Enter runs the entry and Esc ends the walk.
class MenuBarKeys : public QObject
{
public:
    MenuBarKeys(QMenuBar& bar, QWidget& window);
    ~MenuBarKeys() override;

    /// Alt and letter open or run entry, one of the bar's own actions.
    void addMnemonic(QAction* entry, char letter);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void open(QAction* entry);
    bool step(int direction);
    bool walkKey(QObject* watched, int key);
    void endWalk();
    bool isOwnMenu(QObject* watched) const;
    bool isInWindow(QObject* watched) const;

    QMenuBar& m_bar;
    QWidget& m_window;
    bool m_walking = false; // an entry without a menu is highlighted by the keys
};

} // namespace quantem::ui
