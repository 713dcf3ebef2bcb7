#pragma once

#include "core/Ports.h"

#include <QElapsedTimer>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

namespace quantem::ui {

/// The progress hook of long runs: hands the main window's state to a repaint at most once per
/// interval, so a long search shows that it is alive without spending its time painting.
///
/// On the window's own thread the repaint is direct and no events are processed, so the user
/// cannot start anything mid-run. From a run's thread the hook copies the state and posts it to
/// the window's thread; only the newest copy is painted, and discardPending() drops a copy that
/// would arrive after the run's end and paint over its outcome.
class ProgressRepaint : public core::ProgressHook
{
public:
    using Repaint = std::function<void(const core::Form1&)>;
    /// Milliseconds of a monotonic clock.
    using Clock = std::function<std::int64_t()>;

    explicit ProgressRepaint(std::int64_t intervalMs = 250, Clock clock = {});

    /// The repaint to call; none until the main window exists. With a context, the repaint runs
    /// on the context's thread.
    void setRepaint(Repaint repaint, QObject* context = nullptr);

    void progress(const core::Form1& form1) override;

    /// Drops a copy posted by a run's thread that is not painted yet.
    void discardPending();

private:
    bool due();
    void paintPending();

    std::int64_t m_intervalMs;
    Clock m_clock;
    QElapsedTimer m_elapsed;
    bool m_painted = false;
    std::int64_t m_lastPaint = 0;
    Repaint m_repaint;
    QPointer<QObject> m_context;

    std::mutex m_pendingMutex;
    std::optional<core::Form1> m_pending; // guarded by m_pendingMutex
    bool m_posted = false; // guarded by m_pendingMutex
};

} // namespace quantem::ui
