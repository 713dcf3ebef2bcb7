#include "ranking/CoreSpread.h"

#include <algorithm>

#if defined(__linux__)
#include <sched.h>
#endif

namespace quantem::ranking {

namespace {

    constexpr int kTrackedCores = 64;

    std::uint64_t bitOf(int core) { return std::uint64_t { 1 } << core; }

    /// The core this thread holds in a ranking, and which ranking: an observer's id is never
    /// reused, so a claim left by an observer gone is never taken for a new one's.
    struct Claim
    {
        std::uint64_t owner = 0;
        int core = -1;
    };
    thread_local Claim t_claim;

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

CoreSpread::CoreSpread(tbb::task_arena& arena)
    : tbb::task_scheduler_observer(arena)
    , m_id(g_nextId.fetch_add(1, std::memory_order_relaxed))
{
    observe(true);
}

CoreSpread::~CoreSpread() { observe(false); }

void CoreSpread::on_scheduler_entry(bool /*worker*/)
{
#if defined(__linux__)
    if (t_claim.owner == m_id)
        return;
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
    t_claim = { m_id, *core };
    if (*core != current)
        moveTo(*core, allowed);
#endif
}

void CoreSpread::on_scheduler_exit(bool /*worker*/)
{
    if (t_claim.owner != m_id)
        return;
    m_taken.fetch_and(~bitOf(t_claim.core));
    t_claim = {};
}

} // namespace quantem::ranking
