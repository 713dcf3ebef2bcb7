#include "ranking/CoreSpread.h"

#include <algorithm>

#if defined(__linux__)
#include <sched.h>
#endif

namespace quantem::ranking {

namespace {

    constexpr int kTrackedCores = 64;

    std::uint64_t bitOf(int core) { return std::uint64_t { 1 } << core; }

    /// The ranking this thread last came to. A ranking's id is never reused, so a thread that
    /// served a ranking now gone is placed afresh for a new one.
    thread_local std::uint64_t t_placedFor = 0;

    std::atomic<std::uint64_t> g_nextId { 1 };

#if defined(__linux__)
    std::vector<int> coresIn(const cpu_set_t& set)
    {
        std::vector<int> cores;
        for (int core = 0; core < kTrackedCores; ++core) {
            if (CPU_ISSET(core, &set))
                cores.push_back(core);
        }
        return cores;
    }

    /// Moves the calling thread to core, then allows it every core of allowed again.
    void moveTo(int core, const cpu_set_t& allowed)
    {
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(core, &one);
        if (sched_setaffinity(0, sizeof one, &one) == 0)
            sched_setaffinity(0, sizeof allowed, &allowed);
    }
#endif

} // namespace

std::optional<int> coreToRunOn(int current, const std::vector<int>& allowed, std::uint64_t taken)
{
    if (current < 0 || current >= kTrackedCores)
        return std::nullopt;
    if ((taken & bitOf(current)) == 0)
        return current;
    const auto free = std::find_if(allowed.begin(), allowed.end(), [taken](int core) {
        return core >= 0 && core < kTrackedCores && (taken & bitOf(core)) == 0;
    });
    if (free == allowed.end())
        return std::nullopt;
    return *free;
}

CoreSpread::CoreSpread()
    : m_id(g_nextId.fetch_add(1, std::memory_order_relaxed))
{
}

void CoreSpread::place()
{
    if (t_placedFor == m_id)
        return;
    t_placedFor = m_id;
#if defined(__linux__)
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        return;
    const std::vector<int> cores = coresIn(allowed);
    const int current = sched_getcpu();
    std::uint64_t taken = m_taken.load(std::memory_order_relaxed);
    std::optional<int> core;
    do {
        core = coreToRunOn(current, cores, taken);
        if (!core)
            return;
    } while (!m_taken.compare_exchange_weak(taken, taken | bitOf(*core)));
    if (*core != current)
        moveTo(*core, allowed);
#endif
}

} // namespace quantem::ranking
