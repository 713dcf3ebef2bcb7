#pragma once

#include "equation/EquationFit.h"

#include <atomic>
#include <thread>

namespace quantem::equation {

/// An equation fit that runs beside the caller's thread, which polls it: the caller stays free
/// to repaint, to show the iterations and to ask for a stop.
class BackgroundEquationFit
{
public:
    BackgroundEquationFit(Tape tape, EquationData data, EquationSetup setup);
    /// Stops the fit and waits for it.
    ~BackgroundEquationFit();
    BackgroundEquationFit(const BackgroundEquationFit&) = delete;
    BackgroundEquationFit& operator=(const BackgroundEquationFit&) = delete;

    /// The iterations made so far.
    int iterations() const noexcept { return m_iterations.load(std::memory_order_relaxed); }
    /// The fit ends at its next evaluation, as cancelled.
    void requestStop() noexcept { m_stop.store(true, std::memory_order_relaxed); }
    bool stopRequested() const noexcept { return m_stop.load(std::memory_order_relaxed); }
    bool done() const noexcept { return m_done.load(std::memory_order_acquire); }
    /// What the fit reached; valid once done().
    const EquationResult& result() const noexcept { return m_result; }
    const Tape& tape() const noexcept { return m_tape; }
    const EquationData& data() const noexcept { return m_data; }
    const EquationSetup& setup() const noexcept { return m_setup; }

private:
    Tape m_tape;
    EquationData m_data;
    EquationSetup m_setup;
    EquationResult m_result;
    std::atomic<int> m_iterations { 0 };
    std::atomic<bool> m_stop { false };
    std::atomic<bool> m_done { false };
    std::thread m_worker;
};

} // namespace quantem::equation
