#include "support/Expect.h"

#include "core/Fault.h"

#include <cmath>
#include <cstdio>

namespace quantem::test {

int faultOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const core::Fault& fault) {
        return fault.number();
    }
    return 0;
}

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
