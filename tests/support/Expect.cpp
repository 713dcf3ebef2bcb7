#include "support/Expect.h"

#include <cmath>
#include <cstdio>

namespace quantem::test {

::testing::AssertionResult nearRelative(double actual, double expected, double tolerance)
{
    const double scale = std::max(std::fabs(expected), 1.0);
    if (std::fabs(actual - expected) <= tolerance * scale)
        return ::testing::AssertionSuccess();
    char text[160];
    std::snprintf(text, sizeof text, "actual %.17g, expected %.17g (tolerance %g)", actual,
        expected, tolerance);
    return ::testing::AssertionFailure() << text;
}

} // namespace quantem::test
