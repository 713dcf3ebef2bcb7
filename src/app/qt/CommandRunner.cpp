#include "app/qt/CommandRunner.h"

#include "app/Commands.h"

namespace quantem::ui {

CommandRunner::CommandRunner(core::Session& session, QObject* parent)
    : QObject(parent)
    , m_session(session)
{
}

void CommandRunner::run(const std::function<void()>& command)
{
    app::runCommand(m_session, command);
    refresh();
}

void CommandRunner::refresh() { emit stateChanged(); }

} // namespace quantem::ui
