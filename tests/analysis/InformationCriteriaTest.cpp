#include "analysis/InformationCriteria.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using quantem::analysis::informationCriteria;

TEST(InformationCriteria, MatchTheClosedFormsAndRefuseDegenerateFits)
{
    // n = 12 groups, p = 3, sse = 4.75: ln(4.75/12) = -0.926762...
    const auto criteria = informationCriteria(4.75, 12, 3);
    ASSERT_TRUE(criteria.aicc && criteria.bic);
    const double fit = 12.0 * std::log(4.75 / 12.0);
    EXPECT_NEAR(*criteria.aicc, fit + 6.0 + 24.0 / 8.0, 1e-12);
    EXPECT_NEAR(*criteria.bic, fit + 3.0 * std::log(12.0), 1e-12);
    EXPECT_NEAR(*criteria.aicc, -2.1211444, 1e-6);

    EXPECT_FALSE(informationCriteria(0.0, 12, 3).aicc);
    EXPECT_FALSE(informationCriteria(1.0, 4, 3).aicc); // n - p - 1 = 0
    EXPECT_TRUE(informationCriteria(1.0, 4, 3).bic);
    EXPECT_FALSE(informationCriteria(1.0, 3, 3).bic);
}

} // namespace
