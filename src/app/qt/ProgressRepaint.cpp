#include "app/qt/ProgressRepaint.h"

#include <QMetaObject>
#include <QThread>

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

void ProgressRepaint::setRepaint(Repaint repaint, QObject* context)
{
    m_repaint = std::move(repaint);
    m_context = context;
}

bool ProgressRepaint::due()
{
    const std::int64_t now = m_clock();
    if (m_painted && now - m_lastPaint < m_intervalMs)
        return false;
    m_painted = true;
    m_lastPaint = now;
    return true;
}

void ProgressRepaint::progress(const core::Form1& form1)
{
    if (!m_repaint || !due())
        return;
    if (m_context == nullptr || m_context->thread() == QThread::currentThread()) {
        m_repaint(form1);
        return;
    }
    {
        const std::lock_guard lock(m_pendingMutex);
        m_pending = form1;
        if (m_posted)
            return; // the posted paint takes the newest copy
        m_posted = true;
    }
    QMetaObject::invokeMethod(
        m_context, [this] { paintPending(); }, Qt::QueuedConnection);
}

void ProgressRepaint::paintPending()
{
    std::optional<core::Form1> form1;
    {
        const std::lock_guard lock(m_pendingMutex);
        form1.swap(m_pending);
        m_posted = false;
    }
    if (form1)
        m_repaint(*form1);
}

void ProgressRepaint::discardPending()
{
    const std::lock_guard lock(m_pendingMutex);
    m_pending.reset();
}

} // namespace quantem::ui
