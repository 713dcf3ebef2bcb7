#include "ShiftedSnapshot.h"
#include "analysis/ProjectedResiduals.h"
#include "analysis/SnapshotResiduals.h"
#include "support/ModelSamples.h"

#include <gtest/gtest.h>

#include <vector>

// Both residual models keep the design of the last point they were asked at, because the driver
// asks for the residuals and then the derivatives at the same point. Asked at another point,
// they must give what a fresh model gives there.
namespace quantem::analysis {
namespace {

    struct Evaluation
    {
        Eigen::VectorXd r;
        Eigen::MatrixXd jacobian;
    };

    Evaluation evaluate(const ResidualModel& residuals, const std::vector<double>& p)
    {
        const Eigen::Index n = residuals.residualCount();
        Evaluation e { Eigen::VectorXd(n), Eigen::MatrixXd(n, residuals.parameterCount()) };
        residuals.evaluateRows(p, 0, n, e.r.data(), e.jacobian.data(), n);
        return e;
    }

    /// Model 10 (two exponents of x1), its exponents 0.05 off: the design depends on both.
    FitSnapshot modelTen()
    {
        return shiftedSnapshot(10, test::modelSamples(10, test::generatingModel(10)), 0.05);
    }

    TEST(KeptDesign, TheWholeModelFollowsEveryChangeOfTheExponents)
    {
        const FitSnapshot fit = modelTen();
        std::vector<double> first(fit.coefficients);
        first.insert(first.end(), fit.exponents.begin(), fit.exponents.end());
        std::vector<double> second = first;
        second[second.size() - 1] += 0.125; // k2 alone
        std::vector<double> third = second;
        third[third.size() - 2] -= 0.0625; // then k1 alone
        std::vector<double> coefficientsOnly = third;
        coefficientsOnly[1] *= 1.5;

        // One object asked in turn, as the driver asks, against a fresh one for every point.
        const SnapshotResiduals kept(fit);
        for (const std::vector<double>* p :
            { &first, &second, &third, &coefficientsOnly, &first }) {
            SCOPED_TRACE(testing::PrintToString(*p));
            const Evaluation got = evaluate(kept, *p);
            const Evaluation fresh = evaluate(SnapshotResiduals(fit), *p);
            EXPECT_EQ(got.r, fresh.r);
            EXPECT_EQ(got.jacobian, fresh.jacobian);
        }
        // The points differ where it shows.
        EXPECT_NE(evaluate(kept, first).r, evaluate(kept, second).r);
        EXPECT_NE(evaluate(kept, second).r, evaluate(kept, third).r);
    }

    TEST(KeptDesign, TheProjectedModelFollowsEveryChangeOfTheExponents)
    {
        const FitSnapshot fit = modelTen();
        const std::vector<double> first = fit.exponents;
        const std::vector<double> second { first[0], first[1] + 0.125 };
        const std::vector<double> third { first[0] - 0.0625, first[1] + 0.125 };
        const ProjectedResiduals kept(fit);
        for (const std::vector<double>* k : { &first, &second, &third, &first }) {
            SCOPED_TRACE(testing::PrintToString(*k));
            const Evaluation got = evaluate(kept, *k);
            const ProjectedResiduals fresh(fit);
            const Evaluation expected = evaluate(fresh, *k);
            EXPECT_EQ(got.r, expected.r);
            EXPECT_EQ(got.jacobian, expected.jacobian);
            EXPECT_EQ(kept.coefficientsFor(*k), ProjectedResiduals(fit).coefficientsFor(*k));
        }
        EXPECT_NE(kept.coefficientsFor(first), kept.coefficientsFor(second));
    }

} // namespace
} // namespace quantem::analysis
