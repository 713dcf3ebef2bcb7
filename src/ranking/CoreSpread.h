#pragma once

#include <oneapi/tbb/task_arena.h>
#include <oneapi/tbb/task_scheduler_observer.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

namespace quantem::ranking {

/// The core a thread joining a ranking should run on: the one it is on when no other thread of
/// the ranking is there, else the first allowed core that none of them is on. None when every
/// allowed core already has one, or the thread's core is not among the first 64 (it then stays
/// where it is). taken has bit c set for each core c a thread of the ranking is on.
std::optional<int> coreToRunOn(int current, const std::vector<int>& allowed, std::uint64_t taken);

/// Starts the threads of an arena on cores of their own. The system often wakes a thread on the
/// core of the thread that woke it, and moves one of the two away only milliseconds later: a
/// good part of a ranking. A thread joining the arena on a core another one holds is sent to a
/// free core and then given back every core it was allowed, so the system stays free to move it
/// later; nothing is pinned.
class CoreSpread final : public tbb::task_scheduler_observer
{
public:
    explicit CoreSpread(tbb::task_arena& arena);
    ~CoreSpread() override;

    CoreSpread(const CoreSpread&) = delete;
    CoreSpread& operator=(const CoreSpread&) = delete;

    void on_scheduler_entry(bool worker) override;
    void on_scheduler_exit(bool worker) override;

private:
    std::uint64_t m_id;
    std::atomic<std::uint64_t> m_taken { 0 };
};

} // namespace quantem::ranking
