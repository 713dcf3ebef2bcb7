#pragma once

#include "ranking/Ranking.h"

#include <atomic>
#include <thread>
#include <vector>

namespace quantem::ranking {

/// A ranking that runs beside the caller's thread, which polls it: one thread drives the
/// parallel ranking, so the caller stays free to repaint and to ask for a stop.
class BackgroundRanking
{
public:
    /// Ranks the plan's models and the saved equations given (those of the plan's group size),
    /// on threads started with start. When not even the driving thread can be started, the
    /// ranking runs here, on the caller's thread, and is done when the constructor returns.
    BackgroundRanking(RankingInput input, std::vector<ModelChoice> plan, int threads = 0,
        std::vector<equation::EquationEntry> equations = {},
        const ThreadStarter& start = systemThreads());
    /// Stops the ranking and waits for it.
    ~BackgroundRanking();
    BackgroundRanking(const BackgroundRanking&) = delete;
    BackgroundRanking& operator=(const BackgroundRanking&) = delete;

    std::size_t total() const noexcept { return m_total; }
    std::size_t finished() const noexcept { return m_control.finished(); }
    /// Running searches end at their next evaluation; models not started are skipped.
    void requestStop() noexcept { m_control.requestStop(); }
    bool stopRequested() const noexcept { return m_control.stopRequested(); }
    bool done() const noexcept { return m_done.load(std::memory_order_acquire); }
    /// The finished rows in rank order; empty until done().
    const std::vector<RankRow>& rows() const noexcept;

private:
    std::size_t m_total = 0;
    RankingControl m_control;
    std::vector<RankRow> m_rows;
    std::atomic<bool> m_done { false };
    std::thread m_driver;
};

} // namespace quantem::ranking
