#pragma once

#include "core/Session.h"
#include "core/WindowStates.h"

namespace quantem::app {

/// The buttons of the message windows, by the caption's role.
enum class MessageButton
{
    Yes,
    Help,
    No,
    Cancel,
    Web,
    Email
};

/// What a button of a message window does; a button the window does not have does nothing.
/// Form5/Form6 "Yes" close; "Help" opens the help page and closes; Form9 "Yes" sets the
/// chart's Y caption and closes;
/// Form10 "Yes" saves the data report, clears results and starts the data program, "No" clears
/// and starts it, "Cancel " only closes; Form7 "Web"/"E-Mail" open the home page or a new e-mail;
/// Form8 "Yes" closes, "Help" opens help and closes.
void pressMessageButton(core::Session& session, core::MessageWindowId window, MessageButton button);

/// Clicking the information window's web label or e-mail label.
void clickWebLabel(core::Session& session);
void clickEmailLabel(core::Session& session);

/// Closing a message window by its title bar: it is unloaded.
void closeMessageWindow(core::Session& session, core::MessageWindowId window);

} // namespace quantem::app
