#pragma once

#include <gtest/gtest.h>

#include <functional>

namespace quantem::test {

/// The number of the fault that action raises; 0 when it raises none.
int faultOf(const std::function<void()>& action);

/// Passes when actual is within a relative tolerance of expected (absolute near zero); the
/// message prints both values with all their digits.
::testing::AssertionResult nearRelative(double actual, double expected, double tolerance);

} // namespace quantem::test

#define EXPECT_NEAR_REL(actual, expected, tolerance)                                               \
    EXPECT_TRUE(::quantem::test::nearRelative((actual), (expected), (tolerance)))
