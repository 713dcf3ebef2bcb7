#pragma once

#include "ranking/RunThreads.h"

#include <oneapi/tbb/global_control.h>
#include <optional>

namespace quantem::ranking {

/// How many threads, the calling one counted, the system lets this process run at once now, up
/// to wanted: the others are started with start, held until all have been tried, then let go.
int startableThreads(int wanted, const ThreadStarter& start);

/// Holds the thread library to the threads the system gives now (up to wanted) while it lives.
/// The library ends the program when the system refuses it a worker thread (a limit on the
/// user's processes, no memory for a stack); held to what could be started, it never asks for
/// more, and the work runs on fewer threads with the same results.
class ThreadAllowance
{
public:
    explicit ThreadAllowance(int wanted, const ThreadStarter& start = systemThreads());

    int allowed() const noexcept { return m_allowed; }

private:
    int m_allowed = 1;
    std::optional<tbb::global_control> m_limit;
};

} // namespace quantem::ranking
