#include "app/qt/ProgressRepaint.h"

namespace quantem::ui {

ProgressRepaint::ProgressRepaint(std::int64_t intervalMs, Clock clock)
    : m_intervalMs(intervalMs)
    , m_clock(std::move(clock))
{
    if (!m_clock) {
        m_elapsed.start();
        m_clock = [this] { return static_cast<std::int64_t>(m_elapsed.elapsed()); };
    }
}

void ProgressRepaint::progress(const core::Form1& form1)
{
    if (!m_repaint)
        return;
    const std::int64_t now = m_clock();
    if (m_painted && now - m_lastPaint < m_intervalMs)
        return;
    m_painted = true;
    m_lastPaint = now;
    m_repaint(form1);
}

} // namespace quantem::ui
