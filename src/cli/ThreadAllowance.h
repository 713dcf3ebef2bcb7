#pragma once

#include "ranking/RunThreads.h"

#include <oneapi/tbb/global_control.h>
#include <optional>
#include <string>
#include <vector>

namespace quantem::cli {

/// How many threads, the calling one counted, the system lets this process run at once now, up
/// to wanted: the others are started with start, held until all have been tried, then let go.
int startableThreads(int wanted, const ranking::ThreadStarter& start);

/// The threads a command line asks for: one per core, or more with a valid --threads.
int wantedThreads(const std::vector<std::string>& arguments);

/// Holds the thread library to the threads the system gives now (up to wanted) while it lives.
/// The library ends the program when the system refuses it a worker thread (a limit on the
/// user's processes, no memory for a stack); held to what could be started, it never asks for
/// more, and the work runs on fewer threads with the same results.
class ThreadAllowance
{
public:
    explicit ThreadAllowance(
        int wanted, const ranking::ThreadStarter& start = ranking::systemThreads());

    int allowed() const noexcept { return m_allowed; }

private:
    int m_allowed = 1;
    std::optional<tbb::global_control> m_limit;
};

} // namespace quantem::cli
