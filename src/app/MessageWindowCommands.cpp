#include "app/MessageWindowCommands.h"

#include "app/Commands.h"
#include "chart/SamplePlot.h"
#include "core/Notices.h"
#include "results/DataReport.h"

namespace quantem::app {

using core::MessageWindowId;
using core::Session;

namespace {

    void openPage(Session& session, const std::string& address)
    {
        if (session.shell == nullptr || !session.shell->openPage(address))
            core::postNotice(
                session.form1, core::NoticeKind::Hint, "The page could not be opened: " + address);
    }

    void startEmail(Session& session)
    {
        if (session.shell == nullptr || !session.shell->startEmail(session.addresses.email))
            core::postNotice(
                session.form1, core::NoticeKind::Hint, "No e-mail program could be started.");
    }

    /// "Yes" of the two error windows unloads them and leaves a fresh hidden copy, so the next
    /// showing starts from the standing text.
    void closeToFreshCopy(Session& session, MessageWindowId window)
    {
        session.messages.unload(window);
        core::MessageWindow& fresh = session.messages[window];
        fresh.loaded = true;
        fresh.text = core::standingText(window);
    }

    void leaveForDataInput(Session& session, bool saveFirst)
    {
        session.messages.unload(MessageWindowId::Form10);
        if (saveFirst)
            results::saveDataReport(session);
        session.store.writeRecord(core::ScratchFile::Jb, core::Record { 1.0 });
        clearResults(session, Route::Menu);
        startDataProgram(session);
    }

} // namespace

void pressMessageButton(Session& session, MessageWindowId window, MessageButton button)
{
    switch (window) {
    case MessageWindowId::Form5:
    case MessageWindowId::Form6:
        if (button == MessageButton::Yes) {
            closeToFreshCopy(session, window);
        } else if (button == MessageButton::Help) {
            openPage(session, session.addresses.help);
            session.messages.unload(window);
        }
        break;
    case MessageWindowId::Form9:
    case MessageWindowId::Form8:
        if (button == MessageButton::Yes) {
            // The axis-choice window sets the chart's Y caption before it closes.
            if (window == MessageWindowId::Form9)
                chart::setYCaption(session);
            session.messages.unload(window);
        } else if (button == MessageButton::Help) {
            openPage(session, session.addresses.help);
            session.messages.unload(window);
        }
        break;
    case MessageWindowId::Form10:
        if (button == MessageButton::Yes)
            leaveForDataInput(session, true);
        else if (button == MessageButton::No)
            leaveForDataInput(session, false);
        else if (button == MessageButton::Cancel)
            session.messages.unload(window);
        break;
    case MessageWindowId::Form7:
        if (button == MessageButton::Yes)
            session.messages.unload(window);
        else if (button == MessageButton::Web)
            openPage(session, session.addresses.home);
        else if (button == MessageButton::Email)
            startEmail(session);
        break;
    }
}

void clickWebLabel(Session& session) { openPage(session, session.addresses.home); }

void clickEmailLabel(Session& session) { startEmail(session); }

void closeMessageWindow(Session& session, MessageWindowId window)
{
    session.messages.unload(window);
}

} // namespace quantem::app
