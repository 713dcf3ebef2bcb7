#pragma once

#include "core/Ports.h"

#include <atomic>

namespace quantem::core {

/// Ends a run that the user asked to stop. Thrown by a progress hook between two evaluations;
/// deliberately neither a Fault nor a std::exception, so no engine's fault trap takes it for a
/// failed evaluation. Caught where commands run (app::runCommand).
struct RunStopped
{
};

/// What status panel 1 says after a stopped run.
inline constexpr const char* kStoppedText = "Stopped";

/// A progress hook that passes each call on to the next hook and, once a stop was requested,
/// throws RunStopped instead. request() may be called from any thread and from a signal
/// handler: it only sets a lock-free flag.
class StopSwitch final : public ProgressHook
{
public:
    explicit StopSwitch(ProgressHook* next = nullptr) noexcept
        : m_next(next)
    {
    }

    void request() noexcept { m_requested.store(true, std::memory_order_relaxed); }
    /// Clears a request; called before a run starts.
    void reset() noexcept { m_requested.store(false, std::memory_order_relaxed); }
    bool requested() const noexcept { return m_requested.load(std::memory_order_relaxed); }

    /// Raises RunStopped when a stop was requested; otherwise calls the next hook.
    void progress(const Form1& form1) override;

private:
    static_assert(std::atomic<bool>::is_always_lock_free, "request() must be signal-safe");
    std::atomic<bool> m_requested { false };
    ProgressHook* m_next;
};

} // namespace quantem::core
