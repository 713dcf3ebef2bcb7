#include "core/qt/WindowGeometryKeeper.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include <algorithm>

namespace quantem::ui {

namespace {

    // Marks a window restored once, so a later show keeps what the user has done since.
    constexpr const char* kRestoredProperty = "quantemGeometryRestored";

    QString key(const QWidget& window, const char* what)
    {
        return QStringLiteral("windows/%1/%2").arg(window.objectName(), QLatin1String(what));
    }

    // Moves a window wholly onto the screen it is on, shrinking it where it is larger.
    void keepOnScreen(QWidget& window)
    {
        const QScreen* screen
            = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
        if (screen == nullptr || window.isMaximized() || window.isFullScreen())
            return;
        const QRect area = screen->availableGeometry();
        QRect frame = window.geometry();
        frame.setSize(frame.size().boundedTo(area.size()).expandedTo(window.minimumSize()));
        const int right = std::max(area.left(), area.right() - frame.width() + 1);
        const int bottom = std::max(area.top(), area.bottom() - frame.height() + 1);
        frame.moveLeft(std::clamp(frame.left(), area.left(), right));
        frame.moveTop(std::clamp(frame.top(), area.top(), bottom));
        window.setGeometry(frame);
    }

} // namespace

WindowGeometryKeeper::WindowGeometryKeeper(QHash<QString, KeptGeometry> windows, QObject* parent)
    : QObject(parent)
    , m_windows(std::move(windows))
{
}

const KeptGeometry* WindowGeometryKeeper::keptFor(const QWidget& window) const
{
    if (!window.isWindow())
        return nullptr;
    const auto found = m_windows.constFind(window.objectName());
    return found == m_windows.constEnd() ? nullptr : &found.value();
}

bool WindowGeometryKeeper::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::Show && type != QEvent::Hide && type != QEvent::Close)
        || !watched->isWidgetType())
        return false;
    auto* window = static_cast<QWidget*>(watched);
    const KeptGeometry* kept = keptFor(*window);
    if (kept == nullptr)
        return false;
    if (type == QEvent::Show) {
        // Sent before the window reaches the screen: it appears where it was left.
        if (!window->property(kRestoredProperty).toBool()) {
            window->setProperty(kRestoredProperty, true);
            restore(*window, *kept);
        }
    } else if (window->isVisible() || type == QEvent::Hide) {
        saveWindowGeometry(*window);
    }
    return false;
}

void WindowGeometryKeeper::restore(QWidget& window, KeptGeometry kept) const
{
    const QSettings settings;
    const QByteArray geometry = settings.value(key(window, "geometry")).toByteArray();
    if (geometry.isEmpty())
        return;
    const QPoint centre = window.geometry().center();
    if (!window.restoreGeometry(geometry))
        return;
    if (kept == KeptGeometry::Size && !window.isMaximized()) {
        QRect frame = window.geometry();
        frame.moveCenter(centre);
        window.setGeometry(frame);
    }
    if (auto* mainWindow = qobject_cast<QMainWindow*>(&window);
        mainWindow != nullptr && kept == KeptGeometry::Whole)
        mainWindow->restoreState(settings.value(key(window, "state")).toByteArray());
    keepOnScreen(window);
}

void WindowGeometryKeeper::saveVisibleWindows() const
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && keptFor(*window) != nullptr)
            saveWindowGeometry(*window);
    }
}

void saveWindowGeometry(const QWidget& window)
{
    QSettings settings;
    settings.setValue(key(window, "geometry"), window.saveGeometry());
    if (const auto* mainWindow = qobject_cast<const QMainWindow*>(&window))
        settings.setValue(key(window, "state"), mainWindow->saveState());
}

void keepWindowGeometry(QHash<QString, KeptGeometry> windows)
{
    auto* keeper = new WindowGeometryKeeper(std::move(windows), qApp);
    qApp->installEventFilter(keeper);
    QObject::connect(
        qApp, &QCoreApplication::aboutToQuit, keeper, [keeper] { keeper->saveVisibleWindows(); });
}

} // namespace quantem::ui
