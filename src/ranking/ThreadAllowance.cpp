#include "ranking/ThreadAllowance.h"

#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>

namespace quantem::ranking {

int startableThreads(int wanted, const ThreadStarter& start)
{
    std::mutex lock;
    std::condition_variable opened;
    bool open = false;
    std::vector<std::thread> started;
    for (int i = 1; i < wanted; ++i) {
        try {
            // Each waits until all are tried, so that they count together, as workers would.
            started.push_back(start([&] {
                std::unique_lock<std::mutex> held(lock);
                opened.wait(held, [&] { return open; });
            }));
        } catch (const std::system_error&) {
            break;
        } catch (const std::bad_alloc&) {
            break; // no memory for the thread or its stack
        }
    }
    {
        const std::lock_guard<std::mutex> guard(lock);
        open = true;
    }
    opened.notify_all();
    for (std::thread& thread : started)
        thread.join();
    return static_cast<int>(started.size()) + 1;
}

ThreadAllowance::ThreadAllowance(int wanted, const ThreadStarter& start)
    : m_allowed(startableThreads(wanted, start))
{
    m_limit.emplace(
        tbb::global_control::max_allowed_parallelism, static_cast<std::size_t>(m_allowed));
}

} // namespace quantem::ranking
