#include "ranking/ThreadAllowance.h"

#include <gtest/gtest.h>

#include <atomic>
#include <system_error>

namespace quantem::ranking {
namespace {

    // The system's threads, until it refuses the one after `limit`.
    ThreadStarter refusingAfter(int limit, std::atomic<int>& started)
    {
        return [limit, &started](std::function<void()> work) {
            if (started.load() >= limit)
                throw std::system_error(
                    std::make_error_code(std::errc::resource_unavailable_try_again));
            ++started;
            return std::thread(std::move(work));
        };
    }

    TEST(ThreadAllowance, HoldsTheLibraryToTheThreadsTheSystemGives)
    {
        std::atomic<int> started { 0 };
        EXPECT_EQ(startableThreads(6, refusingAfter(2, started)), 3); // two more beside the caller
        EXPECT_EQ(startableThreads(1, refusingAfter(0, started)), 1); // never fewer than the caller
        EXPECT_EQ(startableThreads(4, systemThreads()), 4);

        started = 0;
        const auto parallelism = [] {
            return tbb::global_control::active_value(tbb::global_control::max_allowed_parallelism);
        };
        const std::size_t before = parallelism();
        {
            const ThreadAllowance allowance(8, refusingAfter(0, started));
            EXPECT_EQ(allowance.allowed(), 1);
            EXPECT_EQ(parallelism(), 1u);
        }
        EXPECT_EQ(parallelism(), before); // only while it lives
    }

} // namespace
} // namespace quantem::ranking
