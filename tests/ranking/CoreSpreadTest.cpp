#include "ranking/CoreSpread.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <thread>

namespace quantem::ranking {
namespace {

    TEST(CoreSpread, AThreadStaysOnItsCoreWhenFreeElseTakesTheFirstFreeAllowedOne)
    {
        const std::vector<int> allowed { 0, 1, 3 };
        EXPECT_EQ(coreToRunOn(1, allowed, 0b0000), 1);
        EXPECT_EQ(coreToRunOn(1, allowed, 0b0101), 1);
        EXPECT_EQ(coreToRunOn(1, allowed, 0b0010), 0);
        // Core 2 is free but not allowed.
        EXPECT_EQ(coreToRunOn(0, allowed, 0b0011), 3);
        EXPECT_EQ(coreToRunOn(3, allowed, 0b1011), std::nullopt);
        // Cores past the 64 it keeps track of are left alone.
        EXPECT_EQ(coreToRunOn(64, allowed, 0), std::nullopt);
        EXPECT_EQ(coreToRunOn(-1, allowed, 0), std::nullopt);
        EXPECT_EQ(coreToRunOn(5, { 5, 70 }, std::uint64_t { 1 } << 5), std::nullopt);
    }

    cpu_set_t affinity()
    {
        cpu_set_t set;
        CPU_ZERO(&set);
        sched_getaffinity(0, sizeof set, &set);
        return set;
    }

    bool allowedEvery(const cpu_set_t& cores)
    {
        const cpu_set_t mine = affinity();
        return CPU_EQUAL(&mine, &cores);
    }

    void runOnlyOn(int core)
    {
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(core, &one);
        ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    }

    // A thread coming to the ranking on a core another one holds is sent elsewhere; afterwards it
    // may run on every core it could before, whether it was sent or stayed.
    TEST(CoreSpread, ThreadsItSpreadsKeepEveryCoreTheyWereAllowed)
    {
        const cpu_set_t all = affinity();
        if (CPU_COUNT(&all) < 2)
            GTEST_SKIP() << "one core: nothing to spread";
        CoreSpread spread;
        int firstCore = -1;
        std::thread first([&] {
            spread.place();
            firstCore = sched_getcpu();
            EXPECT_TRUE(allowedEvery(all));
        });
        first.join();
        std::thread second([&] {
            runOnlyOn(firstCore);
            sched_setaffinity(0, sizeof all, &all);
            spread.place();
            EXPECT_TRUE(allowedEvery(all));
        });
        second.join();
    }

} // namespace
} // namespace quantem::ranking
