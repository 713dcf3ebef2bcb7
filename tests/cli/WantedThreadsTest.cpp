#include "cli/ThreadCount.h"

#include <gtest/gtest.h>

#include <string>

namespace quantem::cli {
namespace {

    TEST(WantedThreads, AValidThreadOptionAboveTheCoresIsWanted)
    {
        const int cores = wantedThreads({});
        EXPECT_GE(cores, 1);
        EXPECT_EQ(wantedThreads({ "--rank", "--threads", std::to_string(cores + 1) }), cores + 1);
        EXPECT_EQ(wantedThreads({ "--threads", "0" }), cores);
        EXPECT_EQ(wantedThreads({ "--threads", "2147483647" }), cores); // refused later, not tried
        EXPECT_EQ(wantedThreads({ "--threads" }), cores);
    }

} // namespace
} // namespace quantem::cli
