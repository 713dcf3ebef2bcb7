#include "cli/ThreadAllowance.h"

#include "cli/ThreadCount.h"

#include <condition_variable>
#include <mutex>
#include <new>
#include <oneapi/tbb/info.h>
#include <system_error>

namespace quantem::cli {

int startableThreads(int wanted, const ranking::ThreadStarter& start)
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

int wantedThreads(const std::vector<std::string>& arguments)
{
    int wanted = tbb::info::default_concurrency();
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] != "--threads")
            continue;
        if (const std::optional<int> count = threadCountOf(arguments[i + 1]); count && *count > 0)
            wanted = std::max(wanted, *count);
    }
    return std::max(wanted, 1);
}

ThreadAllowance::ThreadAllowance(int wanted, const ranking::ThreadStarter& start)
    : m_allowed(startableThreads(wanted, start))
{
    m_limit.emplace(
        tbb::global_control::max_allowed_parallelism, static_cast<std::size_t>(m_allowed));
}

} // namespace quantem::cli
