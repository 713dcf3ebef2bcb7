#pragma once

#include "ranking/RankRow.h"

#include <gtest/gtest.h>

#include <vector>

namespace quantem::ranking {

/// Two rankings gave the same rows, statistics to the bit.
inline void expectSameRows(const std::vector<RankRow>& a, const std::vector<RankRow>& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a[i].choice, b[i].choice);
        EXPECT_EQ(a[i].statisticTexts, b[i].statisticTexts);
        EXPECT_EQ(a[i].statistics, b[i].statistics); // to the bit
        EXPECT_EQ(a[i].aicc, b[i].aicc);
        EXPECT_EQ(a[i].bic, b[i].bic);
        EXPECT_EQ(a[i].refinedAicc, b[i].refinedAicc);
        EXPECT_EQ(a[i].message(), b[i].message());
    }
}

} // namespace quantem::ranking
