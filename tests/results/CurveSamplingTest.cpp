#include "results/CurveSampling.h"

#include "core/Fault.h"
#include "support/Expect.h"
#include "support/ModelSamples.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace quantem::results {
namespace {

    using core::FaultCode;
    using core::MessageWindowId;

    using quantem::test::coefficientSet;

    // Every sampled point lies on the curve: its screen x taken back to data x, the curve's y
    // there maps to the point's screen y.
    void expectOnCurve(
        const SampledCurve& curve, const PlotRange& range, const std::function<double(double)>& y)
    {
        for (const TwipPoint& point : curve.points) {
            const double x = range.xMin + (point.x - 2930.0) * (range.xMax - range.xMin) / 8650.0;
            const double expected
                = 7730.0 - (y(x) - range.yMin) * 7430.0 / (range.yMax - range.yMin);
            EXPECT_NEAR_REL(point.y, expected, 1e-9);
        }
    }

    TEST(CurveSampling, MappingPutsTheRangeOnThePlotRectangle)
    {
        EXPECT_EQ(plotX(-2.5, -2.5, 7.5), 2930.0);
        EXPECT_EQ(plotX(7.5, -2.5, 7.5), 11580.0);
        EXPECT_EQ(plotX(2.5, -2.5, 7.5), 2930.0 + 4325.0);
        EXPECT_EQ(plotY(0.35, 0.35, 1.85), 7730.0);
        EXPECT_EQ(plotY(1.85, 0.35, 1.85), 300.0);
        // Outside the range the position is computed all the same.
        EXPECT_EQ(plotX(-12.5, -2.5, 7.5), 2930.0 - 8650.0);
        // An empty range: 0/0 is an overflow, anything else over 0 a division by zero.
        try {
            plotX(3.0, 3.0, 3.0);
            ADD_FAILURE() << "0/0 mapped";
        } catch (const core::Fault& fault) {
            EXPECT_EQ(fault.code(), FaultCode::Overflow);
        }
        try {
            plotY(4.0, 3.0, 3.0);
            ADD_FAILURE() << "x/0 mapped";
        } catch (const core::Fault& fault) {
            EXPECT_EQ(fault.code(), FaultCode::DivisionByZero);
        }
    }

    TEST(CurveSampling, ModelCurveRunsFromJustRightOfXMinToXMaxInAboutThreeThousandSteps)
    {
        const PlotRange range { 0.25, 0.5, 6.75, 9.5 };
        const CoefficientSet c = coefficientSet({ 0.5, 1.25 }, { 1.15 });
        const SampledCurve curve
            = sampleModelCurve(7, c, range, PlottedVariable::X1, HeldValues {});
        EXPECT_FALSE(curve.failure);
        ASSERT_GE(curve.points.size(), 3000u);
        ASSERT_LE(curve.points.size(), 3001u);
        EXPECT_NEAR_REL(curve.points.front().x, 2930.0 + 8650.0 / 3000.0, 1e-12);
        EXPECT_GE(curve.points.back().x, 11580.0 - 1e-9);
        EXPECT_LT(curve.points[curve.points.size() - 2].x, 11580.0);
        for (std::size_t i = 1; i < curve.points.size(); ++i)
            EXPECT_GT(curve.points[i].x, curve.points[i - 1].x);
        expectOnCurve(curve, range, [](double x) { return 0.5 + 1.25 * std::pow(x, 1.15); });
    }

    TEST(CurveSampling, ArithmeticFaultsEndTheCurveWhereTheyOccur)
    {
        // Log of the first x (just right of -1) is an invalid argument: nothing is sampled.
        SampledCurve log = sampleModelCurve(
            8, coefficientSet({ 1.0, 2.0 }), { -1.0, 0.0, 4.0, 5.0 }, PlottedVariable::X1, {});
        EXPECT_EQ(log.failure, FaultCode::InvalidArgument);
        EXPECT_TRUE(log.points.empty());

        SampledCurve root = sampleModelCurve(7, coefficientSet({ 0.0, 1.0 }, { 0.5 }),
            { -3.0, 0.0, 3.0, 2.0 }, PlottedVariable::X1, {});
        EXPECT_EQ(root.failure, FaultCode::InvalidArgument);
        EXPECT_TRUE(root.points.empty());

        // Exp overflows near 709.78: the points before stay.
        const PlotRange wide { 0.0, 0.0, 1000.0, 1e300 };
        SampledCurve exp
            = sampleModelCurve(9, coefficientSet({ 0.0, 1.0 }), wide, PlottedVariable::X1, {});
        EXPECT_EQ(exp.failure, FaultCode::Overflow);
        ASSERT_FALSE(exp.points.empty());
        EXPECT_LT(exp.points.size(), 3000u);
        const double lastX = (exp.points.back().x - 2930.0) * 1000.0 / 8650.0;
        EXPECT_GT(lastX, 700.0);
        EXPECT_LT(lastX, 709.8);

        // A constant curve on an empty y range: y/0.
        SampledCurve flat = sampleModelCurve(
            1, coefficientSet({ 5.0, 0.0 }), { 1.0, 0.0, 2.0, 0.0 }, PlottedVariable::X1, {});
        EXPECT_EQ(flat.failure, FaultCode::DivisionByZero);
        EXPECT_TRUE(flat.points.empty());

        // A held value beyond the single range fails before the first point.
        SampledCurve held = sampleModelCurve(16, coefficientSet({ 0.0, 1.0, 1.0 }, { 1.0, 1.0 }),
            { 1.0, 0.0, 2.0, 5.0 }, PlottedVariable::X2, HeldValues { 1e39, 0.0, 0.0 });
        EXPECT_EQ(held.failure, FaultCode::Overflow);
        // A stale box of a variable the model lacks plays no part.
        const SampledCurve oneVariable = sampleModelCurve(7, coefficientSet({ 0.0, 1.0 }, { 1.0 }),
            { 1.0, 0.0, 2.0, 5.0 }, PlottedVariable::X1, HeldValues { 0.0, 1e39, 1e39 });
        EXPECT_FALSE(oneVariable.failure.has_value());
        EXPECT_FALSE(oneVariable.points.empty());
        EXPECT_TRUE(held.points.empty());
    }

    TEST(CurveSampling, AStepTooSmallToMoveXEndsWhenTheSixteenBitCounterWouldOverflow)
    {
        // At 1E+17 one step of 64/3000 is lost in rounding: x never moves.
        const SampledCurve curve = sampleModelCurve(1, coefficientSet({ 0.0, 1.0 }),
            { 1e17, 1e17, 1e17 + 64.0, 1e17 + 64.0 }, PlottedVariable::X1, {});
        EXPECT_EQ(curve.failure, FaultCode::Overflow);
        EXPECT_EQ(curve.points.size(), 32767u);
    }

    TEST(CurveSampling, HeldValuesPassThroughSinglePrecisionAndThePlottedVariableRuns)
    {
        // Model 16: y = a0 + a1 * x1 ^ k1 + a2 * x2 ^ k2, x2 on the X axis, x1 held at 0.1.
        const CoefficientSet c = coefficientSet({ 0.0, 1000.0, 1.0 }, { 1.0, 1.0 });
        const PlotRange range { 2.0, 90.0, 6.0, 120.0 };
        const SampledCurve curve
            = sampleModelCurve(16, c, range, PlottedVariable::X2, HeldValues { 0.1, 7.5, 0.0 });
        ASSERT_FALSE(curve.failure);
        const double heldX1 = static_cast<double>(0.1f);
        ASSERT_NE(heldX1, 0.1);
        expectOnCurve(curve, range, [heldX1](double x2) { return 1000.0 * heldX1 + x2; });

        // With no variable plotted every point is the held model value: a flat line.
        const SampledCurve flat
            = sampleModelCurve(16, c, range, PlottedVariable::None, HeldValues { 0.1, 7.5, 0.0 });
        ASSERT_FALSE(flat.failure);
        expectOnCurve(flat, range, [heldX1](double) { return 1000.0 * heldX1 + 7.5; });

        // Model 3 (four numbers) with x3 plotted.
        const CoefficientSet linear = coefficientSet({ 1.0, 2.0, 3.0, 4.0 });
        const PlotRange third { -1.0, -20.0, 1.0, 30.0 };
        const SampledCurve x3 = sampleModelCurve(
            3, linear, third, PlottedVariable::X3, HeldValues { 0.5, 0.25, 9.0 });
        ASSERT_FALSE(x3.failure);
        expectOnCurve(x3, third, [](double x) { return 1.0 + 2.0 * 0.5 + 3.0 * 0.25 + 4.0 * x; });
    }

    TEST(CurveSampling, PolynomialCurveAddsEachPowerFromB0Upward)
    {
        const double b[] = { 1.5, -2.25, 0.75 };
        const PlotRange range { -0.5, -1.0, 4.0, 7.0 };
        const SampledCurve curve = samplePolynomialCurve(b, range);
        ASSERT_FALSE(curve.failure);
        EXPECT_GE(curve.points.size(), 3000u);
        expectOnCurve(curve, range, [](double x) { return 1.5 + -2.25 * x + 0.75 * x * x; });

        const SampledCurve zero = samplePolynomialCurve({}, range);
        ASSERT_FALSE(zero.failure);
        expectOnCurve(zero, range, [](double) { return 0.0; });

        const double huge[] = { 0.0, 0.0, 1e308 };
        const SampledCurve overflow = samplePolynomialCurve(huge, { 0.0, 0.0, 10.0, 1.0 });
        EXPECT_EQ(overflow.failure, FaultCode::Overflow);
    }

    TEST(CurveSampling, PolynomialCoefficientsComeFromHgbByTheCountInText4)
    {
        test::TempRoot root;
        core::ScratchStore store(root.path());
        core::Form1 form;
        form.Text4 = "2";
        const auto faultOf = [&] {
            try {
                readPolynomialCoefficients(store, form);
            } catch (const core::Fault& fault) {
                return fault.code();
            }
            return FaultCode {};
        };
        EXPECT_EQ(faultOf(), FaultCode::FileNotFound);

        root.writeFile("sys/hgb.sys", "1.5\r\n-2.25\r\n0.75\r\n");
        EXPECT_EQ(
            readPolynomialCoefficients(store, form), (std::vector<double> { 1.5, -2.25, 0.75 }));
        form.Text4 = " 1";
        EXPECT_EQ(readPolynomialCoefficients(store, form), (std::vector<double> { 1.5, -2.25 }));
        form.Text4 = "3";
        EXPECT_EQ(faultOf(), FaultCode::InputPastEndOfFile);
    }

    TEST(CurveSampling, FailuresAreToldInTheWindowAndWordsOfTheirSampler)
    {
        struct Case
        {
            CurveKind kind;
            FaultCode fault;
            MessageWindowId window;
            const char* text;
        };
        const Case cases[] = {
            { CurveKind::Model, FaultCode::InvalidArgument, MessageWindowId::Form5,
                "Nullity parameter !" },
            { CurveKind::Model, FaultCode::Overflow, MessageWindowId::Form5,
                "Calculate overflow ! " },
            { CurveKind::Model, FaultCode::TypeMismatch, MessageWindowId::Form5, "Input error ! " },
            { CurveKind::Model, FaultCode::BadFileNameOrNumber, MessageWindowId::Form9,
                "Calculate overflow ! " },
            { CurveKind::Polynomial, FaultCode::InvalidArgument, MessageWindowId::Form5,
                "无效参数" },
            { CurveKind::Polynomial, FaultCode::Overflow, MessageWindowId::Form5, "  溢出" },
            { CurveKind::Polynomial, FaultCode::TypeMismatch, MessageWindowId::Form5, "输入错误" },
            { CurveKind::Polynomial, FaultCode::BadFileNameOrNumber, MessageWindowId::Form9,
                "计算溢出" },
        };
        for (const Case& c : cases) {
            core::MessageWindows messages;
            reportCurveFailure(messages, c.kind, c.fault);
            ASSERT_EQ(messages.log().size(), 1u);
            EXPECT_EQ(messages.log()[0].window, c.window);
            EXPECT_EQ(messages.log()[0].text, c.text);
        }
        for (CurveKind kind : { CurveKind::Model, CurveKind::Polynomial }) {
            core::MessageWindows messages;
            reportCurveFailure(messages, kind, FaultCode::DivisionByZero);
            reportCurveFailure(messages, kind, FaultCode::FileNotFound);
            EXPECT_TRUE(messages.log().empty());
        }
    }

} // namespace
} // namespace quantem::results
