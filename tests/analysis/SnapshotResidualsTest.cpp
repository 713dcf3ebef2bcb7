#include "analysis/SnapshotResiduals.h"

#include "ShiftedSnapshot.h"
#include "analysis/Linearization.h"
#include "analysis/ModelDesign.h"
#include "core/SampleData.h"
#include "support/ModelSamples.h"

#include <gtest/gtest.h>

namespace quantem::analysis {
namespace {

    /// Model 24's samples repeated copies times, every exponent 0.05 off.
    FitSnapshot repeatedSamples(int copies)
    {
        const std::vector<std::vector<double>> once
            = test::modelSamples(24, test::generatingModel(24));
        std::vector<std::vector<double>> groups;
        for (int copy = 0; copy < copies; ++copy)
            groups.insert(groups.end(), once.begin(), once.end());
        return shiftedSnapshot(24, groups, 0.05);
    }

    Eigen::VectorXd parametersOf(const FitSnapshot& fit)
    {
        Eigen::VectorXd p(fit.parameterCount());
        std::copy(fit.coefficients.begin(), fit.coefficients.end(), p.data());
        std::copy(fit.exponents.begin(), fit.exponents.end(), p.data() + fit.coefficients.size());
        return p;
    }

    TEST(SnapshotResiduals, LinearizedInOneCallAsTheModelDesignGivesThem)
    {
        // 40 groups stay whole; 4400 are compressed to n + 1 rows that keep the sum of squares
        // and the normal matrix.
        for (const int copies : { 1, 110 }) {
            SCOPED_TRACE(copies);
            const FitSnapshot fit = repeatedSamples(copies);
            const SnapshotResiduals residuals(fit);
            EXPECT_FALSE(residuals.separableRows());
            const Eigen::VectorXd p = parametersOf(fit);
            const std::span<const double> a(fit.coefficients);
            const std::span<const double> k(fit.exponents);
            const Eigen::MatrixXd design = designMatrix(fit, k);
            const Eigen::VectorXd r = fittedValues(design, a) - fit.y;
            const Eigen::MatrixXd j = jacobian(fit, design, a, k);
            std::vector<ParameterSetup> free(static_cast<std::size_t>(p.size()));
            for (Eigen::Index i = 0; i < p.size(); ++i)
                free[static_cast<std::size_t>(i)].start = p(i);
            const ParameterTransform transform(free);
            const Linearization l = linearize(residuals, transform, p, Derivatives::ByFreeVector);
            ASSERT_TRUE(l.finite);
            if (copies == 1) {
                EXPECT_EQ(l.f, r);
                EXPECT_EQ(l.jacobian, j);
            } else {
                ASSERT_EQ(l.f.size(), p.size() + 1);
                EXPECT_NEAR(l.sse, r.squaredNorm(), 1e-12 * r.squaredNorm());
                const Eigen::MatrixXd normal = j.transpose() * j;
                EXPECT_LE(
                    (l.jacobian.transpose() * l.jacobian - normal).norm(), 1e-12 * normal.norm());
            }
        }
    }

} // namespace
} // namespace quantem::analysis
