#include "ranking/RunThreads.h"

#include <new>
#include <system_error>
#include <vector>

namespace quantem::ranking {

ThreadStarter systemThreads()
{
    return [](std::function<void()> work) { return std::thread(std::move(work)); };
}

int runOnThreads(int count, const std::function<void()>& work, const ThreadStarter& start)
{
    std::vector<std::thread> started;
    started.reserve(count > 1 ? static_cast<std::size_t>(count - 1) : 0);
    for (int i = 1; i < count; ++i) {
        try {
            started.push_back(start(work));
        } catch (const std::system_error&) {
            break; // the system has no more threads to give: fewer do the work
        } catch (const std::bad_alloc&) {
            break; // nor memory for one
        }
    }
    struct JoinAll
    {
        std::vector<std::thread>& threads;
        ~JoinAll()
        {
            for (std::thread& thread : threads)
                thread.join();
        }
    } joinAll { started };
    work();
    return static_cast<int>(started.size()) + 1;
}

} // namespace quantem::ranking
