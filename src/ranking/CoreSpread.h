#pragma once

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

/// Starts the threads of a ranking on cores of their own. The system often wakes a thread on the
/// core of the thread that woke it, and moves one of the two away only milliseconds later: a
/// good part of a ranking. A thread that comes to the ranking on a core another one holds is
/// sent to a free core and then given back every core it was allowed, so the system stays free
/// to move it later; nothing is pinned.
class CoreSpread
{
public:
    CoreSpread();

    CoreSpread(const CoreSpread&) = delete;
    CoreSpread& operator=(const CoreSpread&) = delete;

    /// Called by a thread before each piece of the ranking's work it takes; only its first call
    /// does anything.
    void place();

private:
    std::uint64_t m_id;
    std::atomic<std::uint64_t> m_taken { 0 };
};

} // namespace quantem::ranking
