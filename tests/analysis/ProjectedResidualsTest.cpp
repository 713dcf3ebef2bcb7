#include "analysis/ProjectedResiduals.h"

#include "ShiftedSnapshot.h"
#include "analysis/LeastSquaresDriver.h"
#include "core/SampleData.h"
#include "support/ModelSamples.h"

#include <gtest/gtest.h>

namespace quantem::analysis {
namespace {

    /// The samples of a power model with a saw-tooth of 0.05 added to y that no exponents can
    /// follow, its exponents 0.2 above the generating ones: the residuals are large, so the
    /// coefficients' re-solve changes the derivatives visibly.
    FitSnapshot offTheOptimum(core::ModelId model)
    {
        std::vector<std::vector<double>> groups
            = test::modelSamples(model, test::generatingModel(model));
        for (std::size_t g = 0; g < groups.size(); ++g)
            groups[g].back() += 0.05 * static_cast<double>(static_cast<int>(g % 7) - 3);
        return shiftedSnapshot(model, groups, 0.2);
    }

    /// The residuals and derivatives of every group at exponents, in one call (the model is not
    /// separable by rows).
    void evaluate(const ProjectedResiduals& projected, const Eigen::VectorXd& exponents,
        Eigen::VectorXd& residuals, Eigen::MatrixXd* derivatives)
    {
        const Eigen::Index m = projected.residualCount();
        residuals.resize(m);
        if (derivatives != nullptr)
            derivatives->resize(m, projected.parameterCount());
        projected.evaluateRows({ exponents.data(), static_cast<std::size_t>(exponents.size()) }, 0,
            m, residuals.data(), derivatives != nullptr ? derivatives->data() : nullptr, m);
    }

    TEST(ProjectedResiduals, DerivativesMatchCentralDifferencesOnEveryPowerModel)
    {
        for (core::ModelId model = 1; model <= 50; ++model) {
            if (core::modelOf(model).exponents == 0)
                continue;
            SCOPED_TRACE("model " + std::to_string(model));
            const FitSnapshot fit = offTheOptimum(model);
            const ProjectedResiduals projected(fit);
            EXPECT_FALSE(projected.separableRows());
            const Eigen::VectorXd k = Eigen::Map<const Eigen::VectorXd>(
                fit.exponents.data(), static_cast<Eigen::Index>(fit.exponents.size()));
            Eigen::VectorXd r;
            Eigen::MatrixXd exact;
            evaluate(projected, k, r, &exact);
            ASSERT_EQ(exact.cols(), k.size());
            ASSERT_EQ(exact.rows(), fit.groups());

            // Where the terms nearly coincide a direction barely changes the residuals and the
            // differences keep few digits: each column is held to the largest one's scale.
            const double h = 1e-5;
            Eigen::MatrixXd differenced(exact.rows(), exact.cols());
            for (Eigen::Index j = 0; j < k.size(); ++j) {
                Eigen::VectorXd up = k;
                Eigen::VectorXd down = k;
                up(j) += h;
                down(j) -= h;
                Eigen::VectorXd rUp;
                Eigen::VectorXd rDown;
                evaluate(projected, up, rUp, nullptr);
                evaluate(projected, down, rDown, nullptr);
                differenced.col(j) = (rUp - rDown) / (2.0 * h);
            }
            const double scale = differenced.colwise().norm().maxCoeff();
            EXPECT_GT(scale, 1e-3);
            for (Eigen::Index j = 0; j < k.size(); ++j)
                EXPECT_LE((exact.col(j) - differenced.col(j)).norm(), 1e-6 * scale)
                    << "exponent " << j + 1;
            // Asked again after other points, the derivatives are those of this point.
            Eigen::MatrixXd again;
            evaluate(projected, k, r, &again);
            EXPECT_EQ(again, exact);
        }
    }

    TEST(ProjectedResiduals, RankLossGivesLargeResidualsAndNoDirection)
    {
        // Model 10's terms x^k1 and x^k2 coincide when their exponents do: no coefficients.
        const FitSnapshot fit = offTheOptimum(10);
        ASSERT_EQ(fit.exponentCount(), 2);
        const Eigen::Vector2d equal(0.7, 0.7);
        const ProjectedResiduals projected(fit);
        EXPECT_EQ(projected.coefficientsFor({ equal.data(), 2 }).size(), 0);
        Eigen::VectorXd residuals;
        Eigen::MatrixXd derivatives = Eigen::MatrixXd::Constant(fit.groups(), 2, 2.385);
        evaluate(projected, equal, residuals, &derivatives);
        EXPECT_EQ(residuals.size(), fit.groups());
        EXPECT_TRUE((residuals.array() == kOverflowResidual).all());
        EXPECT_TRUE(derivatives.isZero(0.0));
    }

    TEST(ProjectedResiduals, CancelFlagStopsTheSearch)
    {
        const FitSnapshot fit = offTheOptimum(24);
        std::atomic<bool> cancel { true };
        DriverControl control;
        control.cancel = &cancel;
        const ProjectedResiduals projected(fit);
        std::vector<ParameterSetup> setup;
        for (const double k : fit.exponents) {
            ParameterSetup parameter;
            parameter.start = k;
            setup.push_back(parameter);
        }
        const DriverResult end = fitLeastSquares(projected, setup, control);
        EXPECT_TRUE(end.cancelled);
        EXPECT_EQ(end.iterations, 0);
        for (std::size_t r = 0; r < setup.size(); ++r)
            EXPECT_EQ(end.parameters(static_cast<Eigen::Index>(r)), fit.exponents[r]);
    }

} // namespace
} // namespace quantem::analysis
