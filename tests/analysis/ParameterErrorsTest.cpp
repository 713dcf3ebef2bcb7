#include "analysis/FitDetails.h"
#include "analysis/Refinement.h"
#include "support/Expect.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace quantem::analysis {
namespace {

    // The expected numbers come from an independent computation, tests/data/parameter_errors.py:
    // numpy's lstsq and inv(XᵀX) for models 51 and 52, SciPy's curve_fit (its covariance) for
    // model 7, and scipy.stats.t for the intervals and p. Each row: value, standard error, 95 %
    // interval low and high, t, p.
    using Row = std::array<double, 6>;

    struct Expected
    {
        std::vector<Row> parameters;
        double sse, rSquared, adjustedRSquared, aicc, bic;
    };

    void expectSummary(const FitSummary& summary, const Expected& expected, double tolerance)
    {
        ASSERT_EQ(summary.parameters.size(), expected.parameters.size());
        for (std::size_t i = 0; i < expected.parameters.size(); ++i) {
            const ParameterEstimate& p = summary.parameters[i];
            const Row& row = expected.parameters[i];
            SCOPED_TRACE(p.name);
            EXPECT_NEAR_REL(p.value, row[0], tolerance);
            EXPECT_NEAR_REL(p.standardError, row[1], tolerance);
            EXPECT_NEAR_REL(p.ciLow, row[2], tolerance);
            EXPECT_NEAR_REL(p.ciHigh, row[3], tolerance);
            EXPECT_NEAR_REL(p.t, row[4], tolerance);
            EXPECT_NEAR_REL(p.p, row[5], 1e3 * tolerance); // a tail probability: fewer digits
        }
        EXPECT_NEAR_REL(summary.sse, expected.sse, tolerance);
        EXPECT_NEAR_REL(summary.rSquared, expected.rSquared, tolerance);
        EXPECT_NEAR_REL(summary.adjustedRSquared, expected.adjustedRSquared, tolerance);
        ASSERT_TRUE(summary.aicc && summary.bic);
        EXPECT_NEAR_REL(*summary.aicc, expected.aicc, tolerance);
        EXPECT_NEAR_REL(*summary.bic, expected.bic, tolerance);
    }

    FitSnapshot snapshot(core::ModelId model, int terms, const char* samples, int n,
        std::vector<double> coefficients, std::vector<double> exponents = {})
    {
        std::optional<FitSnapshot> fit
            = makeSnapshot(core::modelOf(model), terms, core::SampleData::fromText(samples), n,
                std::move(coefficients), std::move(exponents), { 0.0, 0.0, 0.0, 0.0 });
        EXPECT_TRUE(fit.has_value());
        return *fit;
    }

    TEST(ParameterErrors, LinearFamilyAgreesWithAnIndependentLeastSquares)
    {
        // Published coefficients slightly off: the stable solve must not depend on them.
        const FitSnapshot multiple = snapshot(core::kMultipleLinearModel, 2,
            "1.25,3.5,7.9\n2.5,1.75,8.35\n3.75,4.25,14.1\n4.5,2.0,12.6\n5.25,5.5,19.45\n"
            "6.5,3.25,17.05\n7.75,6.0,24.3\n8.25,1.5,16.2\n",
            8, { 0.53, 1.66, 1.78 });
        const FitDetails m51 = describe(multiple);
        ASSERT_TRUE(m51.stable);
        expectSummary(*m51.stable,
            { { { 0.5282143711526629, 0.8276025144142638, -1.5992056203373317, 2.6556343626426577,
                    0.6382464552158919, 0.5513952729980987 },
                  { 1.6657809026460888, 0.1203961685625851, 1.356292698541101, 1.9752691067510766,
                      13.83582984852356, 3.5421966088427584e-05 },
                  { 1.7841259153368143, 0.1748353111945358, 1.334697439981255, 2.233554390692374,
                      10.204608572187414, 0.00015511180235316957 } },
                3.0055486142311167, 0.9858985255014162, 0.9802579357019827, 4.168148614206428,
                -1.5935267607540649 },
            1e-9);
        EXPECT_EQ(m51.stable->dof, 5);

        const FitSnapshot polynomial = snapshot(core::kPolynomialModel, 2,
            "0.5,2.31\n1.25,2.87\n2.0,4.12\n2.75,5.94\n3.5,8.61\n4.25,11.72\n5.0,15.43\n", 7,
            { 2.2, -0.2, 0.57 });
        const FitDetails m52 = describe(polynomial, refine(polynomial));
        ASSERT_TRUE(m52.stable && m52.refined);
        const Expected expected52 {
            { { 2.233201058201056, 0.08281249007969431, 2.0032767254700476, 2.4631253909320647,
                  26.966959404939317, 1.1242229381384387e-05 },
                { -0.18280423280423264, 0.0699355824647895, -0.37697653841775447,
                    0.01136807280928917, -2.6138944777684405, 0.05917740028680834 },
                { 0.5661375661375665, 0.012375072089772426, 0.5317788578074479, 0.600496274467685,
                    45.748223689578325, 1.3654386193033093e-06 } },
            0.016280952380952188, 0.9998868081091876, 0.9998302121637814, -28.445686983809402,
            -36.607956536643464
        };
        expectSummary(*m52.stable, expected52, 1e-9);
        // The refinement of a polynomial is the same least-squares solution.
        expectSummary(m52.refined->summary, expected52, 1e-9);
        // The published (worse) coefficients keep their own, larger sum of squares.
        EXPECT_GT(m52.fit.sse, expected52.sse);
    }

    TEST(ParameterErrors, PowerModelCountsItsExponentAndMatchesCurveFitCovariance)
    {
        const FitSnapshot fit = snapshot(7, 1,
            "0.6,2.03\n0.9,2.61\n1.3,3.17\n1.7,3.74\n2.2,4.29\n2.8,5.02\n3.3,5.48\n3.9,6.09\n"
            "4.6,6.71\n5.2,7.30\n",
            10, { 0.3, 2.4 }, { 0.65 });
        const Refinement refined = refine(fit);
        ASSERT_TRUE(refined.accepted);
        EXPECT_GT(refined.iterations, 0);
        const FitDetails details = describe(fit, refined);
        ASSERT_TRUE(details.refined);
        expectSummary(details.refined->summary,
            { { { 0.32021465018285045, 0.1343778127093426, 0.002461615452618915, 0.637967684913082,
                    2.382942866286047, 0.0486710794049096 },
                  { 2.412794948729538, 0.12953173077900365, 2.1065010768541685, 2.7190888206049073,
                      18.627057125068834, 3.189865586203849e-07 },
                  { 0.6412715347108138, 0.022228461355137157, 0.5887095759278111,
                      0.6938334934938164, 28.84911935493058, 1.5471406728345933e-08 } },
                0.007724002687631013, 0.999727444960146, 0.9996495720916163, -61.66007659451532,
                -64.75232131553318 },
            1e-6);
        EXPECT_EQ(details.refined->summary.dof, 7); // 10 groups, a0, a1 and k1
        // The stable solve holds k1 at its published value but still counts it.
        ASSERT_TRUE(details.stable);
        EXPECT_EQ(details.stable->parameters.size(), 2u);
        EXPECT_EQ(details.stable->dof, 7);
    }

    TEST(ParameterErrors, StudentDistributionAtKnownPoints)
    {
        // Closed forms: one degree of freedom is Cauchy (t = tan(0.475 pi) at 97.5 %), two give
        // t = sqrt(2 / (4 q (1 - q)) - 2) with q = 0.975.
        EXPECT_NEAR_REL(studentQuantile(0.975, 1), 12.706204736174707, 1e-12);
        EXPECT_NEAR_REL(studentQuantile(0.975, 2), 4.302652729749464, 1e-12);
        EXPECT_NEAR_REL(studentTwoSidedP(1.0, 1), 0.5, 1e-14);
        EXPECT_NEAR_REL(studentTwoSidedP(2.0, 2), 1.0 - 2.0 / std::sqrt(6.0), 1e-13);
        EXPECT_TRUE(std::isnan(studentQuantile(0.975, 0)));
        EXPECT_TRUE(std::isnan(studentTwoSidedP(1.0, 0)));
    }

    TEST(ParameterErrors, NoDegreesOfFreedomLeaveNoErrorsAndAnEqualColumnNoRank)
    {
        // Three groups, three coefficients: an exact fit with nothing left to estimate noise.
        const FitSnapshot exact = snapshot(
            core::kPolynomialModel, 2, "1.5,2.25\n2.5,4.75\n3.5,9.5\n", 3, { 0.0, 0.0, 1.0 });
        const FitDetails details = describe(exact);
        ASSERT_TRUE(details.stable);
        EXPECT_EQ(details.stable->dof, 0);
        EXPECT_TRUE(std::isnan(details.stable->parameters[0].standardError));
        EXPECT_TRUE(std::isnan(details.stable->residualSd));
        // x1 and x2 equal in every group: the design has no full rank.
        const FitSnapshot collinear = snapshot(core::kMultipleLinearModel, 2,
            "1.5,1.5,3.25\n2.5,2.5,4.5\n3.5,3.5,6.75\n4.5,4.5,8.5\n", 4, { 0.0, 1.0, 1.0 });
        const FitDetails flat = describe(collinear);
        EXPECT_FALSE(flat.stable);
        EXPECT_TRUE(std::isnan(flat.fit.parameters[1].standardError));
        EXPECT_TRUE(flat.warning.has_value()); // an infinite condition number warns
    }

} // namespace
} // namespace quantem::analysis
