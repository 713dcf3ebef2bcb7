#pragma once

#include "app/Commands.h"
#include "core/RootLock.h"
#include "core/Session.h"
#include "core/StopSwitch.h"

#include <QObject>

#include <functional>
#include <memory>

class QThread;

namespace quantem::ui {

/// How the lock on the install root names the desktop program to the others.
inline constexpr const char* kDesktopProgramName = "quantem";

/// The one road from a view to the logic. Short commands run on the window's thread; long ones
/// (regression, refinement, ranking) run on a thread of their own over the same session, while
/// the runner refuses every other command. A long run can be stopped: its progress hook then
/// raises core::RunStopped at the next evaluation, the command ends with "Stopped" in status
/// panel 1 and publishes nothing.
///
/// The runner puts its stop switch in front of the session's progress hook when it is made, so
/// set session.progress before making the runner. During a long run only the worker touches the
/// session; a progress hook that paints must hand its copy to the window's thread (see
/// ProgressRepaint).
class CommandRunner : public QObject
{
    Q_OBJECT

public:
    explicit CommandRunner(core::Session& session, QObject* parent = nullptr);
    ~CommandRunner() override;

    core::Session& session() noexcept { return m_session; }

    /// Runs command now, through the logic's fault trap, then refreshes all views. Refused
    /// (returns false, runs nothing) while a long run goes on, or when another program keeps the
    /// install root past a short wait (status panel 1 then names it). Every command holds the
    /// root's lock (core::RootLock) while it runs. A Continuing command (an answer
    /// to a message window) keeps the notice in status panel 1 that the command before it left.
    bool run(
        const std::function<void()>& command, app::CommandStart start = app::CommandStart::New);
    /// Starts command on a thread of its own through the same fault trap and returns at once;
    /// emits runStarted now, and stateChanged and then runFinished on the window's thread when it
    /// ends. Refused (returns false) while another long run goes on, or as run when another
    /// program keeps the root; the run holds the root's lock until the command ends.
    bool runLong(std::function<void()> command);
    /// True from runLong until the run's end has been handled.
    bool busy() const noexcept { return m_worker != nullptr; }
    /// Asks the long run to stop at its next evaluation; nothing when none goes on.
    void requestStop() noexcept;
    /// Waits for the long run to end and handles its end at once (tests; leaving the program).
    void waitForRun();
    /// Tells all views to render the state again.
    void refresh();

signals:
    /// Emitted after every command; each view renders its window state on it.
    void stateChanged();
    /// A long run started or ended (after the views rendered its outcome).
    void runStarted();
    void runFinished();

private:
    /// The root's lock for one command; null for a session in memory.
    std::unique_ptr<core::RootLock> lockRoot();
    void finishRun();

    core::Session& m_session;
    core::ProgressHook* m_previousHook;
    core::StopSwitch m_stop;
    QThread* m_worker = nullptr;
};

} // namespace quantem::ui
