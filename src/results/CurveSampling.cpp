#include "results/CurveSampling.h"

#include "core/CheckedMath.h"
#include "core/Form2.h"
#include "core/NumberText.h"

#include <cstdint>
#include <limits>
#include <string>

namespace quantem::results {

using core::Fault;
using core::FaultCode;
using core::PlotArea;

namespace {

    // The loop both samplers share: x runs from xMin + step to xMax, each y is mapped to the
    // screen, and x is then taken back from the screen position, so the next step starts from
    // where the last point was drawn.
    template <typename Evaluate>
    void sampleAlong(const PlotRange& range, Evaluate&& evaluate, std::vector<TwipPoint>& points)
    {
        const double span = core::subtract(range.xMax, range.xMin);
        const double step = core::divide(span, static_cast<double>(kCurveSteps));
        double x = range.xMin;
        std::int16_t counter = 0;
        do {
            // The counter is a 16-bit integer: a step too small to move x ends as an overflow.
            if (counter == std::numeric_limits<std::int16_t>::max())
                throw Fault(FaultCode::Overflow);
            ++counter;
            x = core::add(x, step);
            const double y = evaluate(x);
            const TwipPoint point { plotX(x, range.xMin, range.xMax),
                plotY(y, range.yMin, range.yMax) };
            points.push_back(point);
            x = core::add(range.xMin,
                core::divide(core::multiply(span, core::subtract(point.x, PlotArea::left)),
                    PlotArea::width));
        } while (!(x >= range.xMax));
    }

} // namespace

double plotX(double x, double xMin, double xMax)
{
    return core::add(PlotArea::left,
        core::divide(
            core::multiply(core::subtract(x, xMin), PlotArea::width), core::subtract(xMax, xMin)));
}

double plotY(double y, double yMin, double yMax)
{
    return core::subtract(PlotArea::bottom,
        core::divide(
            core::multiply(core::subtract(y, yMin), PlotArea::height), core::subtract(yMax, yMin)));
}

SampledCurve sampleModelCurve(core::ModelId model, const CoefficientSet& coefficients,
    const PlotRange& range, PlottedVariable plotted, const HeldValues& held)
{
    SampledCurve curve;
    if (core::groupSize(model) == 0)
        return curve;
    try {
        // The held values the model has pass through single precision, as the window's fixed
        // values always have; a stale box of a variable the model lacks plays no part.
        const int variables = core::groupSize(model) - 1;
        double x1 = static_cast<double>(core::toSingle(held.x1));
        double x2 = variables >= 2 ? static_cast<double>(core::toSingle(held.x2)) : 0.0;
        double x3 = variables >= 3 ? static_cast<double>(core::toSingle(held.x3)) : 0.0;
        sampleAlong(
            range,
            [&](double x) {
                switch (plotted) {
                case PlottedVariable::X1:
                    x1 = x;
                    break;
                case PlottedVariable::X2:
                    x2 = x;
                    break;
                case PlottedVariable::X3:
                    x3 = x;
                    break;
                case PlottedVariable::None:
                    break;
                }
                return evaluateModel(model, coefficients, x1, x2, x3).value_or(0.0);
            },
            curve.points);
    } catch (const Fault& fault) {
        curve.failure = fault.code();
    }
    return curve;
}

SampledCurve samplePolynomialCurve(std::span<const double> coefficients, const PlotRange& range)
{
    SampledCurve curve;
    try {
        sampleAlong(
            range,
            [&](double x) {
                double y = coefficients.empty() ? 0.0 : coefficients[0];
                for (std::size_t i = 1; i < coefficients.size(); ++i)
                    y = core::add(
                        y, core::multiply(coefficients[i], core::power(x, static_cast<double>(i))));
                return y;
            },
            curve.points);
    } catch (const Fault& fault) {
        curve.failure = fault.code();
    }
    return curve;
}

std::vector<double> readPolynomialCoefficients(
    const core::ScratchStore& store, const core::Form1& form1)
{
    const double n = core::val(form1.Text4);
    core::RecordReader in = store.reader(core::ScratchFile::Hgb);
    std::vector<double> coefficients;
    // One coefficient for every whole i from 0 to n; the file ends long before a double count
    // stops being exact.
    for (double i = 0.0; i <= n; i += 1.0)
        coefficients.push_back(in.readNumber());
    return coefficients;
}

void reportCurveFailure(core::MessageWindows& messages, CurveKind kind, FaultCode failure)
{
    const bool model = kind == CurveKind::Model;
    switch (failure) {
    case FaultCode::InvalidArgument:
        messages.show(
            core::MessageWindowId::Form5, std::string(model ? "Nullity parameter !" : "无效参数"));
        break;
    case FaultCode::Overflow:
        messages.show(
            core::MessageWindowId::Form5, std::string(model ? "Calculate overflow ! " : "  溢出"));
        break;
    case FaultCode::TypeMismatch:
        messages.show(
            core::MessageWindowId::Form5, std::string(model ? "Input error ! " : "输入错误"));
        break;
    case FaultCode::BadFileNameOrNumber:
        messages.show(core::MessageWindowId::Form9,
            std::string(model ? "Calculate overflow ! " : "计算溢出"));
        break;
    default:
        // A division by zero and any other fault end the curve without a word.
        break;
    }
}

} // namespace quantem::results
