#include "equation/EquationFit.h"

#include "CompiledFormula.h"
#include "support/Expect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <oneapi/tbb/global_control.h>
#include <random>

namespace quantem::equation {
namespace {

    EquationSetup setupFor(const Tape& tape, std::vector<double> starts)
    {
        EquationSetup setup;
        for (double start : starts) {
            analysis::ParameterSetup p;
            p.start = start;
            setup.parameters.push_back(p);
        }
        setup.startGiven.assign(tape.parameters.size(), true);
        return setup;
    }

    EquationData lineData(std::size_t groups, double noise, unsigned seed)
    {
        std::mt19937 random(seed);
        std::normal_distribution<double> error(0.0, noise);
        EquationData data;
        data.variables.resize(1);
        for (std::size_t i = 0; i < groups; ++i) {
            const double x = 0.37 * static_cast<double>(i) - 2.1;
            data.variables[0].push_back(x);
            data.y.push_back(1.385 + 2.717 * x + error(random));
            data.sigma.push_back(0.2 + 0.05 * static_cast<double>(i % 7));
        }
        return data;
    }

    // Weighted least squares of a straight line has a closed form; the fit must meet it, and
    // its standard errors must be those of the weighted normal equations.
    TEST(EquationFit, SigmaWeightsMeetTheClosedFormOfAWeightedLine)
    {
        const Tape tape = compiled("a + b*x");
        EquationData data = lineData(23, 0.3, 7);
        EquationSetup setup = setupFor(tape, { 0.5, 0.5 });
        setup.weighting = Weighting::Sigma;
        ASSERT_EQ(refusalOf(tape, data, setup), "");
        const EquationResult result = fitEquation(tape, data, setup);
        ASSERT_TRUE(result.converged) << result.stopReason;
        double s = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
        for (std::size_t i = 0; i < data.groups(); ++i) {
            const double w = 1.0 / (data.sigma[i] * data.sigma[i]);
            const double x = data.variables[0][i];
            s += w;
            sx += w * x;
            sy += w * data.y[i];
            sxx += w * x * x;
            sxy += w * x * data.y[i];
        }
        const double delta = s * sxx - sx * sx;
        EXPECT_NEAR_REL(result.parameters[0].value, (sxx * sy - sx * sxy) / delta, 1e-12);
        EXPECT_NEAR_REL(result.parameters[1].value, (s * sxy - sx * sy) / delta, 1e-12);
        const double variance = result.sse / result.dof;
        EXPECT_NEAR_REL(
            result.parameters[0].standardError, std::sqrt(variance * sxx / delta), 1e-9);
        EXPECT_NEAR_REL(result.parameters[1].standardError, std::sqrt(variance * s / delta), 1e-9);
        EXPECT_EQ(result.dof, 21);
    }

    // A fixed parameter leaves the free vector and the degrees of freedom; a bound that binds
    // holds its parameter on it, flagged, with a finite standard error.
    TEST(EquationFit, FixedParametersAndBindingBounds)
    {
        const Tape tape = compiled("a + b*x");
        const EquationData data = lineData(17, 0.1, 3);
        EquationSetup fixed = setupFor(tape, { 1.0, 0.3 });
        fixed.parameters[0].fixed = true;
        const EquationResult held = fitEquation(tape, data, fixed);
        ASSERT_TRUE(held.converged) << held.stopReason;
        double sxx = 0, sxy = 0;
        for (std::size_t i = 0; i < data.groups(); ++i) {
            sxx += data.variables[0][i] * data.variables[0][i];
            sxy += data.variables[0][i] * (data.y[i] - 1.0);
        }
        EXPECT_EQ(held.parameters[0].value, 1.0);
        EXPECT_TRUE(std::isnan(held.parameters[0].standardError));
        EXPECT_NEAR_REL(held.parameters[1].value, sxy / sxx, 1e-12);
        EXPECT_EQ(held.dof, 16);

        EquationSetup bounded = setupFor(tape, { 1.0, 1.0 });
        bounded.parameters[1].lower = 0.0;
        bounded.parameters[1].upper = 2.0; // the data's slope is 2.717
        const EquationResult bound = fitEquation(tape, data, bounded);
        EXPECT_TRUE(bound.parameters[1].atBound);
        EXPECT_NEAR(bound.parameters[1].value, 2.0, 1e-9);
        EXPECT_TRUE(std::isfinite(bound.parameters[1].standardError));
        EXPECT_FALSE(bound.parameters[0].atBound);
        bool told = false;
        for (const std::string& warning : bound.warnings)
            told = told || warning.find("b ended on its bound (2)") != std::string::npos;
        EXPECT_TRUE(told);
    }

    // Above a few thousand groups the Jacobian is compressed block by block; one thread and
    // every thread must give the same bits, and the compressed fit the uncompressed optimum.
    TEST(EquationFit, OneThreadAndAllThreadsGiveTheSameBits)
    {
        const Tape tape = compiled("c*exp(-(x-m)^2/(2*s^2)) + a");
        EquationData data;
        data.variables.resize(1);
        std::mt19937 random(11);
        std::normal_distribution<double> error(0.0, 0.02);
        for (int i = 0; i < 20000; ++i) {
            const double x = -4.0 + 8.0 * i / 20000.0;
            data.variables[0].push_back(x);
            data.y.push_back(3.2 * std::exp(-(x - 0.41) * (x - 0.41) / (2 * 0.87 * 0.87)) + 0.25
                + error(random));
        }
        const EquationSetup setup = setupFor(tape, { 2.5, 0.2, 1.1, 0.1 });
        const EquationResult all = fitEquation(tape, data, setup);
        EquationResult one;
        {
            const tbb::global_control single(tbb::global_control::max_allowed_parallelism, 1);
            one = fitEquation(tape, data, setup);
        }
        ASSERT_TRUE(all.converged) << all.stopReason;
        EXPECT_EQ(all.sse, one.sse);
        for (std::size_t i = 0; i < all.parameters.size(); ++i) {
            EXPECT_EQ(all.parameters[i].value, one.parameters[i].value);
            EXPECT_EQ(all.parameters[i].standardError, one.parameters[i].standardError);
        }
        EXPECT_NEAR_REL(all.parameters[0].value, 3.2, 1e-2);
        EXPECT_NEAR_REL(all.parameters[2].value, 0.87, 1e-2);
    }

    // A start where the formula cannot be evaluated names the first such group; a step into a
    // domain error on the way is refused, not the end of the fit.
    TEST(EquationFit, DomainErrorsAtTheStartAndOnTheWay)
    {
        const Tape tape = compiled("a*ln(x - c)");
        EquationData data;
        data.variables.resize(1);
        for (int i = 1; i <= 12; ++i) {
            data.variables[0].push_back(0.5 * i);
            data.y.push_back(1.7 * std::log(0.5 * i + 0.3));
        }
        const EquationResult bad = fitEquation(tape, data, setupFor(tape, { 1.0, 2.0 }));
        EXPECT_FALSE(bad.converged);
        ASSERT_FALSE(bad.warnings.empty());
        EXPECT_NE(bad.warnings.front().find("from group 1 (x = 0.5)"), std::string::npos)
            << bad.warnings.front();

        const EquationResult good = fitEquation(tape, data, setupFor(tape, { 1.0, 0.4 }));
        ASSERT_TRUE(good.converged) << good.stopReason;
        EXPECT_NEAR_REL(good.parameters[0].value, 1.7, 1e-9);
        EXPECT_NEAR_REL(good.parameters[1].value, -0.3, 1e-9);
    }

    TEST(EquationFit, RefusalsSayWhy)
    {
        const Tape tape = compiled("a + b*x + c*x^2");
        EquationData data = lineData(2, 0.1, 1);
        EXPECT_NE(refusalOf(tape, data, setupFor(tape, { 1, 1, 1 })).find("2 groups for 3 free"),
            std::string::npos);
        data = lineData(5, 0.1, 1);
        data.sigma[3] = 0.0;
        EquationSetup weighted = setupFor(tape, { 1, 1, 1 });
        weighted.weighting = Weighting::Sigma;
        EXPECT_EQ(refusalOf(tape, data, weighted), "group 4 has sigma 0: a sigma must be above 0");
        data.y[1] = 0.0;
        weighted.weighting = Weighting::InverseY2;
        EXPECT_NE(refusalOf(tape, data, weighted).find("group 2 has y = 0"), std::string::npos);
    }

} // namespace
} // namespace quantem::equation
