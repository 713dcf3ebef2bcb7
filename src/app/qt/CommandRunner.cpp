#include "app/qt/CommandRunner.h"

#include <QThread>

#include <memory>

namespace quantem::ui {

CommandRunner::CommandRunner(core::Session& session, QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_previousHook(session.progress)
    , m_stop(session.progress)
{
    m_session.progress = &m_stop;
}

CommandRunner::~CommandRunner()
{
    // The worker holds the session; it must not outlive the runner.
    requestStop();
    waitForRun();
    m_session.progress = m_previousHook;
}

std::unique_ptr<core::RootLock> CommandRunner::lockRoot()
{
    // A session in memory has no root that another program could share.
    if (m_session.store.memory() != nullptr)
        return nullptr;
    auto lock = std::make_unique<core::RootLock>(m_session.store.root(), kDesktopProgramName);
    if (lock->refused()) {
        m_session.form1.StatusBar1[0] = lock->refusal();
        refresh();
    }
    return lock;
}

bool CommandRunner::run(const std::function<void()>& command, app::CommandStart start)
{
    if (busy())
        return false;
    const std::unique_ptr<core::RootLock> lock = lockRoot();
    if (lock && lock->refused())
        return false;
    app::runCommand(m_session, command, start);
    refresh();
    return true;
}

bool CommandRunner::runLong(std::function<void()> command)
{
    if (busy())
        return false;
    std::shared_ptr<core::RootLock> lock = lockRoot();
    if (lock && lock->refused())
        return false;
    m_stop.reset();
    // The worker lets the root go as soon as the command ends, before its end is handled here.
    m_worker = QThread::create([this, command = std::move(command), lock]() mutable {
        app::runCommand(m_session, command);
        lock.reset();
    });
    // Queued to this object's thread: the end is handled where the views live.
    connect(m_worker, &QThread::finished, this, &CommandRunner::finishRun, Qt::QueuedConnection);
    m_worker->start();
    emit runStarted();
    return true;
}

void CommandRunner::requestStop() noexcept
{
    if (busy())
        m_stop.request();
}

void CommandRunner::waitForRun()
{
    if (m_worker == nullptr)
        return;
    m_worker->wait();
    finishRun();
}

void CommandRunner::finishRun()
{
    // Reached twice for a run that waitForRun already handled: once is enough.
    if (m_worker == nullptr || !m_worker->isFinished())
        return;
    m_worker->deleteLater();
    m_worker = nullptr;
    refresh();
    emit runFinished();
}

void CommandRunner::refresh() { emit stateChanged(); }

} // namespace quantem::ui
