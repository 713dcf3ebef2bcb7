#pragma once

#include "core/Ports.h"

#include <QElapsedTimer>

#include <cstdint>
#include <functional>

namespace quantem::ui {

/// The progress hook of long runs: hands the main window's state to a repaint at most once per
/// interval, so a long search shows that it is alive without spending its time painting. The
/// repaint is direct; no events are processed, so the user cannot start anything mid-run.
class ProgressRepaint : public core::ProgressHook
{
public:
    using Repaint = std::function<void(const core::Form1&)>;
    /// Milliseconds of a monotonic clock.
    using Clock = std::function<std::int64_t()>;

    explicit ProgressRepaint(std::int64_t intervalMs = 250, Clock clock = {});

    /// The repaint to call; none until the main window exists.
    void setRepaint(Repaint repaint) { m_repaint = std::move(repaint); }

    void progress(const core::Form1& form1) override;

private:
    std::int64_t m_intervalMs;
    Clock m_clock;
    QElapsedTimer m_elapsed;
    bool m_painted = false;
    std::int64_t m_lastPaint = 0;
    Repaint m_repaint;
};

} // namespace quantem::ui
