#include "engine_linear/NormalSystem.h"

#include "engine_linear/FitStatistics.h"
#include "support/Expect.h"

#include <gtest/gtest.h>

#include <vector>

namespace quantem::linear {
namespace {

    NormalSystem accumulate(int regressors, const std::vector<std::vector<double>>& groups)
    {
        NormalSystem system;
        system.begin(regressors);
        for (const std::vector<double>& group : groups) {
            const std::vector<double> row(group.begin(), group.end() - 1);
            system.addGroup(row, group.back());
        }
        return system;
    }

    TEST(NormalSystem, CentredSumsComeBeforeTheSolve)
    {
        NormalSystem system = accumulate(1, { { 1, 2 }, { 2, 3 }, { 3, 5 }, { 4, 4 } });
        EXPECT_EQ(system.at(1, 1), 4.0);
        EXPECT_EQ(system.at(1, 3), 14.0);
        EXPECT_EQ(system.at(2, 1), system.at(1, 2));
        const CentredSums sums = system.centredSums();
        EXPECT_EQ(sums.n, 4.0);
        EXPECT_EQ(sums.lyy, 5.0);
        ASSERT_EQ(sums.lky.size(), 1u);
        EXPECT_EQ(sums.lky[0], 4.0);

        const std::vector<double> a = system.solve();
        EXPECT_NEAR_REL(a[0], 1.5, 1E-15);
        EXPECT_NEAR_REL(a[1], 0.8, 1E-15);
        const RegressionTest test
            = computeRegressionTest(sums, a, kLinearPerfectFitTolerance, true);
        EXPECT_NEAR_REL(test.u, 3.2, 1E-15);
        EXPECT_NEAR_REL(test.q, 1.8, 1E-15);
        EXPECT_FALSE(test.perfect);
    }

} // namespace
} // namespace quantem::linear
