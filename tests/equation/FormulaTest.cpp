#include "equation/Formula.h"

#include "CompiledFormula.h"
#include "equation/TapeEvaluation.h"
#include "support/Expect.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace quantem::equation {
namespace {

    // The formula's value at one x.
    double valueAt(const std::string& text, const std::vector<double>& parameters, double x)
    {
        const Tape tape = compiled(text);
        const double* columns[] = { &x };
        double value = 0.0;
        BlockEvaluator evaluator(tape);
        evaluator.evaluate(parameters, columns, 1, &value, nullptr, 1);
        return value;
    }

    FormulaError refusal(const std::string& text)
    {
        const CompileResult result = compileFormula(text);
        EXPECT_FALSE(result.tape) << text << " compiled";
        return result.error;
    }

    TEST(Formula, PrecedenceAndAssociativity)
    {
        EXPECT_EQ(valueAt("-x^2", {}, 1.7), -(1.7 * 1.7));
        EXPECT_EQ(valueAt("2^3^2", {}, 0.0), 512.0);
        EXPECT_EQ(valueAt("2**3**2", {}, 0.0), 512.0);
        EXPECT_EQ(valueAt("2^-x^2", {}, 1.3), std::pow(2.0, -(1.3 * 1.3)));
        EXPECT_EQ(valueAt("a^-b", { 2.385, 0.61 }, 0.0), std::pow(2.385, -0.61));
        EXPECT_EQ(valueAt("a^+b", { 2.385, 0.61 }, 0.0), std::pow(2.385, 0.61));
        EXPECT_EQ(valueAt("a - b - x", { 5.5, 1.25 }, 0.5), 3.75);
        EXPECT_EQ(valueAt("a / b / x", { 6.0, 4.0 }, 0.5), 3.0);
        EXPECT_EQ(valueAt("a + b*x^2/4", { 1.0, 3.0 }, 2.0), 4.0);
        EXPECT_EQ(valueAt("a*-x", { 2.5 }, 1.5), -3.75);
        EXPECT_EQ(valueAt("b1*(1-exp[-b2*x])", { 2.385, 0.41 }, 1.7),
            2.385 * (1 - std::exp(-0.41 * 1.7)));
        EXPECT_EQ(valueAt("[a + (x - [b])] * 2", { 1.0, 0.5 }, 3.0), 7.0);
        EXPECT_EQ(valueAt("  y  =  a*x", { 2.5 }, 3.0), 7.5);
        EXPECT_EQ(valueAt("y=a*x", { 2.5 }, 3.0), 7.5);
        EXPECT_EQ(valueAt("log(x) - ln(x) + log10(x) + arctan(x) - atan(x)", {}, 100.0), 2.0);
        EXPECT_EQ(
            valueAt("min(x, 2) + max(x, 2) + atan2(x, 0)", {}, 3.0), 5.0 + std::numbers::pi / 2);
    }

    TEST(Formula, NumbersAreReadInTheCLocale)
    {
        EXPECT_EQ(valueAt(".5 + 5. + 2e-3 + 1E+3 + 1.5", {}, 0.0), 0.5 + 5.0 + 2e-3 + 1e3 + 1.5);
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
            GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
        // The locale really reads "2,5" now, so a locale-bound reader would stop at the '.'.
        const bool commaLocale = std::localeconv()->decimal_point[0] == ',';
        const double value = valueAt("2.5e-3*x", {}, 2.0);
        std::setlocale(LC_ALL, "C");
        EXPECT_TRUE(commaLocale);
        EXPECT_EQ(value, 2.5e-3 * 2.0);
    }

    TEST(Formula, RefusalsSayWhereTheParserStopped)
    {
        struct Expected
        {
            const char* text;
            int position;
            const char* phrase;
        };
        // clang-format off
        const Expected expected[] = {
            { "",             1, "empty" },
            { "   ",          4, "empty" },
            { "y = ",         5, "empty" },
            { "a*(x+1",       7, "expected ')' to close '(' at 3" },
            { "exp[x+1)",     8, "expected ']' to close '[' at 4" },
            { "a*x)",         4, "unexpected ')'" },
            { "a x",          3, "expected an operator or the end of the formula" },
            { "2x",           2, "a product needs '*'" },
            { "a*",           3, "expected a number, a name or '('" },
            { "a*(,x)",       4, "expected a number, a name or '('" },
            { "1e",           3, "'1e' needs digits" },
            { "a+1.2.3",      6, "'1.2.3' is malformed" },
            { "a # b",        3, "'#'" },
            { "µ*x",          1, "'µ'" },
            { "a + µ",        5, "'µ'" },
            { "exp*2",        1, "'exp' is a function and cannot be a parameter" },
            { "a + pi(2)",    5, "'pi' is not a function but a constant" },
            { "b(x + 1)",     1, "'b' is not a function" },
            { "sin(x, 2)",    6, "'sin' takes only one argument" },
            { "pow(x)",       6, "'pow' takes two arguments" },
            { "max()",        5, "'max' takes two arguments" },
            { "atan2(x, 1, 2)", 11, "'atan2' takes only two arguments" },
            { "y*2",          1, "y is the response" },
            { "y = a*y",      7, "y is the response" },
            { "a = x",        3, "'=' may only follow y" },
            { "x + a*x2",     7, "'x2' cannot be used together with x" },
            { "x1*a + x",     8, "x cannot be used together with x1" },
        };
        // clang-format on
        for (const Expected& e : expected) {
            const FormulaError error = refusal(e.text);
            EXPECT_EQ(error.position, e.position) << e.text << ": " << error.message;
            EXPECT_NE(error.message.find(e.phrase), std::string::npos)
                << e.text << ": " << error.message;
        }
        // Nesting deep enough to exhaust the stack is refused instead.
        const std::string deep = std::string(100000, '(') + "x" + std::string(100000, ')');
        EXPECT_NE(refusal(deep).message.find("too deeply"), std::string::npos);
    }

    TEST(Formula, ParametersInOrderOfFirstUseAndVariables)
    {
        const Tape tape = compiled("b*x + a + xc + x0 + x10 + X + b1 + Exp + b*a + _k2");
        EXPECT_EQ(tape.parameters,
            (std::vector<std::string> { "b", "a", "xc", "x0", "x10", "X", "b1", "Exp", "_k2" }));
        EXPECT_EQ(tape.variableCount, 1);
        EXPECT_FALSE(tape.numberedVariables);
        EXPECT_EQ(tape.variableNames(), (std::vector<std::string> { "x" }));

        const Tape several = compiled("a*x3 + x1");
        EXPECT_TRUE(several.numberedVariables);
        EXPECT_EQ(several.variableCount, 3);
        EXPECT_EQ(several.variableNames(), (std::vector<std::string> { "x1", "x2", "x3" }));
        EXPECT_EQ(several.nodes[1].op, Op::Variable);
        EXPECT_EQ(several.nodes[1].index, 2);

        EXPECT_TRUE(compiled("sin(x) + 2").parameters.empty());
        EXPECT_TRUE(isReservedName("exp"));
        EXPECT_TRUE(isReservedName("log"));
        EXPECT_TRUE(isReservedName("arctan"));
        EXPECT_TRUE(isReservedName("pi"));
        EXPECT_FALSE(isReservedName("Exp"));
        EXPECT_FALSE(isReservedName("x"));
        EXPECT_FALSE(isReservedName("b1"));
    }

    TEST(Formula, EqualSubexpressionsShareNodesAndConstantsFold)
    {
        // b, -b, x, -b*x, exp(...): five nodes, and the sum of two copies only one more.
        EXPECT_EQ(compiled("exp(-b*x)").nodes.size(), 5u);
        EXPECT_EQ(compiled("exp(-b*x) + exp(-b*x)").nodes.size(), 6u);
        EXPECT_EQ(compiled("a*x + x*a").nodes.size(), 4u);

        const Tape folded = compiled("2*pi*3");
        ASSERT_EQ(folded.nodes.size(), 1u);
        EXPECT_EQ(folded.nodes[0].op, Op::Constant);
        EXPECT_EQ(folded.nodes[0].value, 2 * std::numbers::pi * 3);
        EXPECT_EQ(compiled(" y = a").text, " y = a");

        const Tape mixed = compiled("a*x + sin(x)");
        for (const Node& node : mixed.nodes) {
            const bool expected
                = node.op == Op::Parameter || node.op == Op::Mul || node.op == Op::Add;
            EXPECT_EQ(node.dependsOnParameters, expected) << static_cast<int>(node.op);
        }
    }

    TEST(Formula, WholeConstantExponentsBecomeIntegerPowers)
    {
        const auto last = [](const std::string& text) { return compiled(text).nodes.back(); };
        EXPECT_EQ(last("x^3").op, Op::PowInt);
        EXPECT_EQ(last("x^3").value, 3.0);
        EXPECT_EQ(last("a^(1+1)").value, 2.0);
        EXPECT_EQ(last("pow(a, 2)").op, Op::PowInt);
        EXPECT_EQ(last("x**-2").value, -2.0);
        EXPECT_EQ(last("x^0.5").op, Op::Pow);
        EXPECT_EQ(last("x^65").op, Op::Pow);
        EXPECT_EQ(last("x^a").op, Op::Pow);
        EXPECT_EQ(valueAt("x^-3", {}, 1.25), 1.0 / (1.25 * 1.25 * 1.25));
        EXPECT_NEAR_REL(valueAt("x^13", {}, 1.1), std::pow(1.1, 13), 1e-15);
    }

} // namespace
} // namespace quantem::equation
