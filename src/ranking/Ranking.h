#pragma once

#include "ranking/EquationRow.h"
#include "ranking/ModelFit.h"
#include "ranking/RankRow.h"
#include "ranking/RankingPlan.h"
#include "ranking/RunThreads.h"

#include <atomic>
#include <cstddef>
#include <vector>

namespace quantem::ranking {

/// Watches and stops a ranking from another thread: how many runs have finished, and a stop
/// that runs not yet started skip and running searches obey at their next evaluation.
class RankingControl
{
public:
    void requestStop() noexcept { m_stop.store(true, std::memory_order_relaxed); }
    bool stopRequested() const noexcept { return m_stop.load(std::memory_order_relaxed); }
    std::size_t finished() const noexcept { return m_finished.load(std::memory_order_relaxed); }

    /// How many runs ended for want of memory, without a row.
    std::size_t outOfMemory() const noexcept
    {
        return m_outOfMemory.load(std::memory_order_relaxed);
    }

    const std::atomic<bool>* stopFlag() const noexcept { return &m_stop; }
    /// The flag itself, for a signal handler to set (setting it is requestStop()).
    std::atomic<bool>& stopRequest() noexcept { return m_stop; }
    void countFinished() noexcept { m_finished.fetch_add(1, std::memory_order_relaxed); }
    void countOutOfMemory() noexcept { m_outOfMemory.fetch_add(1, std::memory_order_relaxed); }

private:
    std::atomic<bool> m_stop { false };
    std::atomic<std::size_t> m_finished { 0 };
    std::atomic<std::size_t> m_outOfMemory { 0 };
};

/// Fits every choice of plan with fitModel, each on a session of its own, and every saved
/// equation with fitEquationRow on the same groups (pass those of the plan's group size, as
/// equationsForGroupSize picks them), on up to threads threads (0: one per core) started with
/// start, and returns the rows of the runs that finished, in rank order. The rows are the same
/// whatever the number of threads, also when fewer could be started. The sample file is read
/// once, as far as the runs read it, and the runs share that reading. A stop keeps the rows
/// finished before it; a run that ran out of memory has no row and is counted in control.
std::vector<RankRow> rankModels(const RankingInput& input, const std::vector<ModelChoice>& plan,
    int threads = 0, RankingControl* control = nullptr,
    const std::vector<equation::EquationEntry>& equations = {},
    const ThreadStarter& start = systemThreads());

/// Rank order: fitted models by AICc, then by mean error (a fit with no AICc after those with
/// one); then the models whose run failed. Equal keys keep the order they had.
void orderByRank(std::vector<RankRow>& rows);

} // namespace quantem::ranking
