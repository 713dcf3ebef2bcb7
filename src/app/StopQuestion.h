#pragma once

#include "core/Ports.h"

namespace quantem::app {

/// Closing the main window while a run goes on asks first whether to stop the run. Returns true
/// when the run is to be stopped and the window closed after it (Yes, or no one to ask); No and
/// Cancel keep both.
bool confirmStopOnClose(core::Questions* questions);

inline constexpr const char* kStopPromptText
    = "A regression is still running. Stop it and close the window?";
inline constexpr const char* kStopPromptTitle = "Stop the run";

} // namespace quantem::app
