#include "equation/TapeEvaluation.h"

#include "CompiledFormula.h"
#include "support/Expect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace quantem::equation {
namespace {

    struct Evaluation
    {
        std::vector<double> values;
        std::vector<double> derivatives; // column-major, leading dimension rows
    };

    Evaluation evaluateAt(const Tape& tape, const std::vector<double>& parameters,
        const std::vector<std::vector<double>>& columns, int maxRows = kBlockRows)
    {
        const int rows = static_cast<int>(columns.front().size());
        std::vector<const double*> pointers;
        for (const auto& column : columns)
            pointers.push_back(column.data());
        Evaluation result { std::vector<double>(static_cast<std::size_t>(rows)),
            std::vector<double>(static_cast<std::size_t>(rows) * parameters.size()) };
        BlockEvaluator evaluator(tape, maxRows);
        evaluator.evaluate(
            parameters, pointers, rows, result.values.data(), result.derivatives.data(), rows);
        return result;
    }

    struct Case
    {
        const char* formula;
        double parameterLow, parameterHigh; // every parameter drawn from this range
        double xLow, xHigh;
        double (*reference)(const double* p, double x);
    };

    // Every operator and function, each with parameters inside its operands, at points inside
    // its domain and away from kinks (abs at 0, min and max at ties).
    // clang-format off
    const Case kCases[] = {
        { "a + b*x",          0.5, 2.5, -2.0, 2.0, [](const double* p, double x) { return p[0] + p[1] * x; } },
        { "a - b*x",          0.5, 2.5, -2.0, 2.0, [](const double* p, double x) { return p[0] - p[1] * x; } },
        { "a*b*x",            0.5, 2.5, -2.0, 2.0, [](const double* p, double x) { return p[0] * p[1] * x; } },
        { "a/(b + x)",        0.5, 2.5,  0.1, 2.0, [](const double* p, double x) { return p[0] / (p[1] + x); } },
        { "-a*x",             0.5, 2.5, -2.0, 2.0, [](const double* p, double x) { return -p[0] * x; } },
        { "(a*x + b)^3",      0.5, 2.5, -2.0, 2.0, [](const double* p, double x) { return std::pow(p[0] * x + p[1], 3); } },
        { "(a + x)**-2",      0.5, 2.5,  0.1, 2.0, [](const double* p, double x) { return std::pow(p[0] + x, -2); } },
        { "a^b",              0.5, 2.5,  0.0, 1.0, [](const double* p, double) { return std::pow(p[0], p[1]); } },
        { "(a*x)^2.5",        0.5, 2.5,  0.1, 2.0, [](const double* p, double x) { return std::pow(p[0] * x, 2.5); } },
        { "x^a",              0.5, 2.5,  0.1, 2.0, [](const double* p, double x) { return std::pow(x, p[0]); } },
        { "pow(a, b*x)",      0.5, 2.5,  0.1, 2.0, [](const double* p, double x) { return std::pow(p[0], p[1] * x); } },
        { "exp(a*x)",         0.5, 2.5, -1.0, 1.0, [](const double* p, double x) { return std::exp(p[0] * x); } },
        { "ln(a*x)",          0.5, 2.5,  0.1, 2.0, [](const double* p, double x) { return std::log(p[0] * x); } },
        { "log(a + x)",       0.5, 2.5,  0.1, 2.0, [](const double* p, double x) { return std::log(p[0] + x); } },
        { "log10(a*x)",       0.5, 2.5,  0.1, 2.0, [](const double* p, double x) { return std::log10(p[0] * x); } },
        { "sqrt(a*x)",        0.5, 2.5,  0.1, 2.0, [](const double* p, double x) { return std::sqrt(p[0] * x); } },
        { "abs(a*x - b)",     0.5, 2.5, -2.0, -0.1, [](const double* p, double x) { return std::fabs(p[0] * x - p[1]); } },
        { "abs(a*x)",         0.5, 2.5,  0.1, 2.0, [](const double* p, double x) { return std::fabs(p[0] * x); } },
        { "sin(a*x)",         0.5, 2.5, -2.0, 2.0, [](const double* p, double x) { return std::sin(p[0] * x); } },
        { "cos(a*x)",         0.5, 2.5, -2.0, 2.0, [](const double* p, double x) { return std::cos(p[0] * x); } },
        { "tan(a*x)",         0.5, 1.0, -1.0, 1.0, [](const double* p, double x) { return std::tan(p[0] * x); } },
        { "asin(a*x)",        0.5, 0.9, -1.0, 1.0, [](const double* p, double x) { return std::asin(p[0] * x); } },
        { "acos(a*x)",        0.5, 0.9, -1.0, 1.0, [](const double* p, double x) { return std::acos(p[0] * x); } },
        { "atan(a*x)",        0.5, 2.5, -2.0, 2.0, [](const double* p, double x) { return std::atan(p[0] * x); } },
        { "arctan(a + x)",    0.5, 2.5, -2.0, 2.0, [](const double* p, double x) { return std::atan(p[0] + x); } },
        { "atan2(a*x, b)",    0.5, 2.5, -2.0, 2.0, [](const double* p, double x) { return std::atan2(p[0] * x, p[1]); } },
        { "atan2(a, b - x)",  0.5, 2.5,  2.6, 4.0, [](const double* p, double x) { return std::atan2(p[0], p[1] - x); } },
        { "sinh(a*x)",        0.5, 2.5, -2.0, 2.0, [](const double* p, double x) { return std::sinh(p[0] * x); } },
        { "cosh(a*x)",        0.5, 2.5, -2.0, 2.0, [](const double* p, double x) { return std::cosh(p[0] * x); } },
        { "tanh(a*x)",        0.5, 2.5, -1.0, 1.0, [](const double* p, double x) { return std::tanh(p[0] * x); } },
        { "erf(a*x)",         0.5, 2.5, -1.0, 1.0, [](const double* p, double x) { return std::erf(p[0] * x); } },
        { "erfc(a*x)",        0.5, 2.5, -1.0, 1.0, [](const double* p, double x) { return std::erfc(p[0] * x); } },
        { "min(a*x, b)",      0.5, 2.5, -2.0, 2.0, [](const double* p, double x) { return std::min(p[0] * x, p[1]); } },
        { "max(a*x, b)",      0.5, 2.5, -2.0, 2.0, [](const double* p, double x) { return std::max(p[0] * x, p[1]); } },
        { "pi*b1*(1-exp[-b2*x])", 0.5, 2.5, 0.1, 3.0, [](const double* p, double x) { return std::numbers::pi * p[0] * (1 - std::exp(-p[1] * x)); } },
    };
    // clang-format on

    TEST(TapeEvaluation, DerivativesAgreeWithCentralDifferencesForEveryOperation)
    {
        std::mt19937_64 random(20240611);
        for (const Case& c : kCases) {
            SCOPED_TRACE(c.formula);
            const Tape tape = compiled(c.formula);
            const std::size_t count = tape.parameters.size();
            ASSERT_GE(count, 1u);
            std::uniform_real_distribution<double> drawParameter(c.parameterLow, c.parameterHigh);
            std::uniform_real_distribution<double> drawX(c.xLow, c.xHigh);
            for (int trial = 0; trial < 4; ++trial) {
                std::vector<double> p(count);
                for (double& value : p)
                    value = drawParameter(random);
                std::vector<double> x(7);
                for (double& value : x)
                    value = drawX(random);
                const Evaluation at = evaluateAt(tape, p, { x });
                for (std::size_t r = 0; r < x.size(); ++r)
                    EXPECT_NEAR_REL(at.values[r], c.reference(p.data(), x[r]), 1e-13);
                for (std::size_t j = 0; j < count; ++j) {
                    const double h = 1e-6 * std::max(1.0, std::fabs(p[j]));
                    std::vector<double> up = p, down = p;
                    up[j] += h;
                    down[j] -= h;
                    const Evaluation above = evaluateAt(tape, up, { x });
                    const Evaluation below = evaluateAt(tape, down, { x });
                    for (std::size_t r = 0; r < x.size(); ++r) {
                        const double central
                            = (above.values[r] - below.values[r]) / (up[j] - down[j]);
                        EXPECT_NEAR_REL(at.derivatives[j * x.size() + r], central, 1e-6)
                            << "by " << tape.parameters[j] << " at x = " << x[r];
                    }
                }
            }
        }
    }

    TEST(TapeEvaluation, NegativeBaseWithVariableExponentHasItsDerivative)
    {
        // x holds whole numbers here, so (a - 5)^x exists for a < 5 though the base is negative.
        const Tape tape = compiled("(a - 5)^x");
        const Evaluation at = evaluateAt(tape, { 1.37 }, { { 2.0, 3.0 } });
        EXPECT_NEAR_REL(at.values[0], 3.63 * 3.63, 1e-14);
        EXPECT_NEAR_REL(at.values[1], -3.63 * 3.63 * 3.63, 1e-14);
        EXPECT_NEAR_REL(at.derivatives[0], 2.0 * -3.63, 1e-14);
        EXPECT_NEAR_REL(at.derivatives[1], 3.0 * 3.63 * 3.63, 1e-14);
    }

    TEST(TapeEvaluation, BlocksLargerThanTheBufferGiveTheSameBits)
    {
        const Tape tape = compiled("a*x1^2 + b*sin(x2) - a/b");
        std::vector<double> x1, x2;
        for (int r = 0; r < 11; ++r) {
            x1.push_back(0.37 * r - 1.9);
            x2.push_back(1.13 * r + 0.2);
        }
        const Evaluation whole = evaluateAt(tape, { 2.385, -0.71 }, { x1, x2 });
        const Evaluation pieces = evaluateAt(tape, { 2.385, -0.71 }, { x1, x2 }, 3);
        EXPECT_EQ(whole.values, pieces.values);
        EXPECT_EQ(whole.derivatives, pieces.derivatives);
        EXPECT_EQ(whole.values[3],
            2.385 * (0.37 * 3 - 1.9) * (0.37 * 3 - 1.9) + -0.71 * std::sin(1.13 * 3 + 0.2)
                - 2.385 / -0.71);
    }

    TEST(TapeEvaluation, ValuesOnlyAndUnusedParameters)
    {
        // a^0 folds to 1: a stays a parameter of the formula, its derivative is zero.
        const Tape tape = compiled("a^0 + x");
        const std::vector<double> x { 0.25, 1.5 };
        const double* columns[] = { x.data() };
        std::vector<double> values(2), derivatives(6, -7.0);
        BlockEvaluator evaluator(tape);
        evaluator.evaluate(
            std::vector<double> { 3.1 }, columns, 2, values.data(), derivatives.data(), 3);
        EXPECT_EQ(values, (std::vector<double> { 1.25, 2.5 }));
        EXPECT_EQ(derivatives, (std::vector<double> { 0.0, 0.0, -7.0, -7.0, -7.0, -7.0 }));
        // Without a derivatives buffer only the values are written.
        evaluator.evaluate(std::vector<double> { 3.1 }, columns, 2, values.data(), nullptr, 0);
        EXPECT_EQ(values[1], 2.5);
    }

    TEST(TapeEvaluation, DomainErrorsGiveNaNOrInfinityWithoutThrowing)
    {
        const Tape tape = compiled("ln(a*x) + 1/(x - 2) + sqrt(a - x)");
        const Evaluation at = evaluateAt(tape, { 1.5 }, { { -1.0, 2.0, 1.5 } });
        EXPECT_TRUE(std::isnan(at.values[0]));
        EXPECT_TRUE(std::isnan(at.values[1])); // sqrt(1.5 - 2)
        EXPECT_EQ(at.values[2], std::log(1.5 * 1.5) + 1.0 / (1.5 - 2.0));
        // sqrt's slope is infinite where its argument reaches 0.
        EXPECT_EQ(at.derivatives[2], std::numeric_limits<double>::infinity());
        const Evaluation pole = evaluateAt(compiled("a/(x - 2)"), { 1.5 }, { { 2.0 } });
        EXPECT_TRUE(std::isinf(pole.values[0]));
        EXPECT_TRUE(std::isinf(pole.derivatives[0]));
    }

} // namespace
} // namespace quantem::equation
