#pragma once

#include "core/WindowStates.h"

#include <string>

namespace quantem::core {

// Status panel 1 carries the program's own notices, one at a time. Every layer posts them
// through these two functions, so one rule decides which notice the user gets to see:
// - a notice replaces the one in the panel only when it is at least as important
//   (NoticeKind, least important first), so a hint or a reason posted later never hides why a
//   file could not be written;
// - the panel is emptied when the user starts a new command (app::runCommand does it);
//   answering a message window is no new command, so the notice it explains stays.

/// Puts text into status panel 1 unless a more important notice stands there.
void postNotice(Form1& form, NoticeKind kind, const std::string& text);

/// Empties status panel 1 for a new command.
void clearNotice(Form1& form);

} // namespace quantem::core
