#include "chart/TickLabel.h"

#include <gtest/gtest.h>

namespace quantem::chart {
namespace {

    TEST(TickLabel, AtMostTwoDecimalsWithoutLeadingZeroAndWithTheirPoint)
    {
        EXPECT_EQ(tickLabel(0.55), ".55");
        EXPECT_EQ(tickLabel(5.0), "5.");
        EXPECT_EQ(tickLabel(-0.5), "-.5");
        EXPECT_EQ(tickLabel(10.1), "10.1");
        EXPECT_EQ(tickLabel(1234.5678), "1234.57");
        EXPECT_EQ(tickLabel(-2.004), "-2.");
        EXPECT_EQ(tickLabel(1E+20), "100000000000000000000.");
        EXPECT_EQ(tickLabel(3.0E-7), ".");
    }

    TEST(TickLabel, RoundsHalfAwayFromZeroOnTheShownDigits)
    {
        // 2.675 is stored a little below itself; its 15 digits end in 5 and round up.
        EXPECT_EQ(tickLabel(2.675), "2.68");
        EXPECT_EQ(tickLabel(0.125), ".13");
        EXPECT_EQ(tickLabel(-0.125), "-.13");
        EXPECT_EQ(tickLabel(0.005), ".01");
        EXPECT_EQ(tickLabel(0.0049), ".");
        EXPECT_EQ(tickLabel(99.995), "100.");
        EXPECT_EQ(tickLabel(-9.999), "-10.");
        // A sum that misses zero by a rounding error prints as zero, without a sign.
        EXPECT_EQ(tickLabel(0.1 + 0.2 - 0.3 - 1e-16), ".");
        EXPECT_EQ(tickLabel(-1e-17), ".");
        EXPECT_EQ(tickLabel(0.0), ".");
    }

} // namespace
} // namespace quantem::chart
