#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QWidget;

namespace quantem::ui {

/// How much of a window's saved geometry comes back when it is first shown.
enum class KeptGeometry
{
    /// Size, place and (for a main window) its bars: the window has no placement rule of its own.
    Whole,
    /// Size and maximised state only: the window keeps the centre its own placement gave it, so
    /// a window that is centred on the screen or over another window still is.
    Size
};

/// Keeps the size and place of a program's windows between sessions, in its settings under
/// "windows/<object name>/". Installed on the application, it restores each listed window the
/// first time that window is shown and saves it whenever it is hidden or closed, and when the
/// program quits. A window not listed (a message window, the splash) is never kept, and a
/// saved geometry that no longer fits the screen is brought back onto it.
class WindowGeometryKeeper : public QObject
{
public:
    explicit WindowGeometryKeeper(QHash<QString, KeptGeometry> windows, QObject* parent = nullptr);

    bool eventFilter(QObject* watched, QEvent* event) override;

    /// Saves every listed window that is visible now.
    void saveVisibleWindows() const;

private:
    const KeptGeometry* keptFor(const QWidget& window) const;
    void restore(QWidget& window, KeptGeometry kept) const;

    QHash<QString, KeptGeometry> m_windows;
};

/// Saves one window's geometry (and a main window's bars) under its object name.
void saveWindowGeometry(const QWidget& window);

/// Installs a keeper for these windows on the running application, which owns it.
void keepWindowGeometry(QHash<QString, KeptGeometry> windows);

} // namespace quantem::ui
