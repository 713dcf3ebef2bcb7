#include "results/CurveSampling.h"
#include "support/ModelSamples.h"

#include <gtest/gtest.h>

// A curve whose stepping lands exactly on the right end of its range ends there: the loop stops
// at the first x at or beyond xMax, so no point is drawn right of the plot area.
namespace quantem::results {
namespace {

    using quantem::test::coefficientSet;

    // Ranges whose 3000th point falls on the right edge itself, with x taken back from it
    // equal to xMax: a range across zero, one far from it, and one with a fractional start.
    constexpr PlotRange kRanges[] = {
        { -9.07, -3.5, 8.54, 12.25 },
        { 6.63, 0.75, 16.96, 4.5 },
        { 1.33, -2.0, 9.77, 30.0 },
    };

    void expectEndsOnTheRightEdge(const SampledCurve& curve)
    {
        ASSERT_FALSE(curve.failure);
        ASSERT_FALSE(curve.points.empty());
        EXPECT_EQ(curve.points.back().x, 11580.0);
        EXPECT_EQ(curve.points.size(), 3000u);
        for (const TwipPoint& point : curve.points)
            EXPECT_LE(point.x, 11580.0);
    }

    TEST(CurveEndGuard, AModelCurveThatReachesXMaxExactlyStopsThere)
    {
        for (const PlotRange& range : kRanges) {
            SCOPED_TRACE(range.xMin);
            // Model 1, y = a0 + a1·x1: defined on either side of zero.
            expectEndsOnTheRightEdge(sampleModelCurve(
                1, coefficientSet({ 0.35, -0.625 }), range, PlottedVariable::X1, HeldValues {}));
        }
    }

    TEST(CurveEndGuard, APolynomialCurveThatReachesXMaxExactlyStopsThere)
    {
        const double b[] = { 1.5, -0.25, 0.0625, -0.0078125 };
        for (const PlotRange& range : kRanges) {
            SCOPED_TRACE(range.xMin);
            expectEndsOnTheRightEdge(samplePolynomialCurve(b, range));
        }
    }

} // namespace
} // namespace quantem::results
