#pragma once

#include <functional>
#include <thread>

namespace quantem::ranking {

/// Starts a thread running work; throws std::system_error when the system cannot start one (too
/// many threads, no memory for its stack). Rankings take it as a parameter, so that a test can
/// make the system refuse.
using ThreadStarter = std::function<std::thread(std::function<void()> work)>;

/// The system's threads: std::thread itself.
ThreadStarter systemThreads();

/// Runs work on the calling thread and on up to count - 1 threads started with start, and waits
/// for them all. work takes its pieces from a queue it shares, so a thread that cannot be
/// started leaves its pieces to those that run, down to the calling thread alone. Returns how
/// many threads ran work. work itself must not throw.
int runOnThreads(int count, const std::function<void()>& work, const ThreadStarter& start);

} // namespace quantem::ranking
