#include "core/CheckedMath.h"
#include "support/Expect.h"

#include <gtest/gtest.h>

// The edges of the checked operations: the faults they name and the values they still give.
namespace quantem::core {
namespace {

    TEST(CheckedMathGuard, EdgesRaiseTheFaultsTheyNameAndNothingElse)
    {
        EXPECT_EQ(test::faultOf([] { naturalLog(0.0); }), 5);
        EXPECT_EQ(test::faultOf([] { naturalLog(-0.0); }), 5);
        EXPECT_EQ(naturalLog(1.0), 0.0);
        // 0 to the power 0 is 1; only a negative exponent divides by zero.
        EXPECT_EQ(power(0.0, 0.0), 1.0);
        EXPECT_EQ(power(0.0, 1.37), 0.0);
        EXPECT_EQ(test::faultOf([] { power(0.0, -0.61); }), 11);
        // A value beyond the single range is an overflow, not an infinity.
        EXPECT_EQ(test::faultOf([] { toSingle(3.5E+38); }), 6);
        EXPECT_EQ(test::faultOf([] { toSingle(-3.5E+38); }), 6);
        EXPECT_EQ(toSingle(3.4E+38), 3.4E+38f);
    }

} // namespace
} // namespace quantem::core
