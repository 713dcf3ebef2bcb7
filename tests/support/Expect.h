#pragma once

#include <gtest/gtest.h>

namespace quantem::test {

/// Passes when actual is within a relative tolerance of expected (absolute near zero); the
/// message prints both values with all their digits.
::testing::AssertionResult nearRelative(double actual, double expected, double tolerance);

} // namespace quantem::test

#define EXPECT_NEAR_REL(actual, expected, tolerance)                                               \
    EXPECT_TRUE(::quantem::test::nearRelative((actual), (expected), (tolerance)))
