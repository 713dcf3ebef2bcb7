#include "ShiftedSnapshot.h"
#include "analysis/Refinement.h"
#include "support/ModelSamples.h"

#include <gtest/gtest.h>

#include <vector>

namespace quantem::analysis {
namespace {

    FitSnapshot offTheOptimum(core::ModelId model, int groups)
    {
        std::vector<std::vector<double>> samples
            = test::modelSamples(model, test::generatingModel(model));
        samples.resize(static_cast<std::size_t>(groups));
        return shiftedSnapshot(model, samples, 0.05);
    }

    TEST(RefinementStarts, AGivenStartOfTheRightSizeIsSearchedOneOfAnotherSizeIsPassedOver)
    {
        const FitSnapshot fit = offTheOptimum(10, 40);
        const Refinement alone = refine(fit);
        ASSERT_TRUE(alone.accepted);

        // Its own search adds to the iterations, whichever start ends lowest.
        const std::vector<double> elsewhere { fit.exponents[0] + 0.375, fit.exponents[1] - 0.25 };
        const Refinement withStart = refine(fit, {}, { { "another initial value", elsewhere } });
        EXPECT_GT(withStart.iterations, alone.iterations);
        EXPECT_LE(withStart.sse, alone.sse * (1.0 + 1e-9));

        const Refinement wrongSize
            = refine(fit, {}, { { "three exponents", { 0.5, 1.0, 1.5 } }, { "none", {} } });
        EXPECT_EQ(wrongSize.iterations, alone.iterations);
        EXPECT_EQ(wrongSize.coefficients, alone.coefficients);
        EXPECT_EQ(wrongSize.exponents, alone.exponents);
        EXPECT_EQ(wrongSize.start, alone.start);
    }

    TEST(RefinementStarts, NoMoreGroupsThanParametersLeavesThePublishedFit)
    {
        // Model 7 has three parameters (a0, a1, k1): three groups fit it exactly, with nothing
        // left to judge the fit by.
        for (const int groups : { 3, 2 }) {
            SCOPED_TRACE(groups);
            const FitSnapshot fit = offTheOptimum(7, groups);
            ASSERT_EQ(fit.groups(), groups);
            const Refinement refined = refine(fit);
            EXPECT_FALSE(refined.accepted);
            EXPECT_EQ(refined.stopReason, "too few groups for the parameters");
            EXPECT_EQ(refined.coefficients, fit.coefficients);
            EXPECT_EQ(refined.exponents, fit.exponents);
            EXPECT_EQ(refined.iterations, 0);
        }
        // One group more is refined.
        const Refinement four = refine(offTheOptimum(7, 4));
        EXPECT_NE(four.stopReason, "too few groups for the parameters");
    }

} // namespace
} // namespace quantem::analysis
