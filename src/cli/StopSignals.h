#pragma once

#include "core/StopSwitch.h"

#include <atomic>

namespace quantem::cli {

/// While it lives, SIGINT and SIGTERM stop the fit that is going on instead of killing the
/// program: the handler only sets a flag, and the progress hook ends the search at its next
/// evaluation (core::RunStopped), so every scratch file is left whole and what was fitted so
/// far can still be printed. The handlers in place before are put back at the end.
class StopSignals
{
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    /// The hook to put in front of a session's progress hook.
    core::StopSwitch& stopSwitch() noexcept;
    /// The signal also sets flag (a ranking's stop, which its runs watch), from now until the
    /// end of this object; flag must outlive it.
    void alsoSet(std::atomic<bool>& flag) noexcept;
    /// The signal that asked to stop, 0 while none did.
    int received() const noexcept;
    /// The exit status of a program ended by that signal: 128 plus its number (130, 143).
    int exitStatus() const noexcept { return 128 + received(); }
};

} // namespace quantem::cli
