#pragma once

#include "core/Session.h"

#include <QObject>

#include <functional>

namespace quantem::ui {

/// The one road from a view to the logic: runs a command on the session (a fault that nothing
/// inside traps ends the command and is shown by the logic), then tells every view to render
/// the state again.
class CommandRunner : public QObject
{
    Q_OBJECT

public:
    explicit CommandRunner(core::Session& session, QObject* parent = nullptr);

    core::Session& session() noexcept { return m_session; }

    /// Runs command through the logic's fault trap, then refreshes all views.
    void run(const std::function<void()>& command);
    /// Tells all views to render the state again.
    void refresh();

signals:
    /// Emitted after every command; each view renders its window state on it.
    void stateChanged();

private:
    core::Session& m_session;
};

} // namespace quantem::ui
