#include "plot/Bands.h"

#include "analysis/FitSummary.h"
#include "core/SampleData.h"
#include "equation/CompiledFormula.h"
#include "plot/CataloguePlot.h"
#include "plot/EquationPlot.h"
#include "support/Expect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace quantem::plot {
namespace {

    constexpr double kX[] = { 0.385, 1.12, 1.93, 2.71, 3.46, 4.38, 5.02, 5.97, 6.64, 7.51 };
    constexpr double kNoise[] = { 0.21, -0.34, 0.08, 0.27, -0.19, -0.05, 0.31, -0.26, 0.13, -0.11 };

    equation::EquationData lineData()
    {
        equation::EquationData data;
        data.variables.resize(1);
        for (std::size_t i = 0; i < std::size(kX); ++i) {
            data.variables[0].push_back(kX[i]);
            data.y.push_back(1.385 + 2.717 * kX[i] + kNoise[i]);
        }
        return data;
    }

    equation::EquationSetup setupOf(std::size_t parameters)
    {
        equation::EquationSetup setup;
        setup.parameters.assign(parameters, {});
        setup.startGiven.assign(parameters, true);
        return setup;
    }

    /// The textbook bands of a straight line fitted by least squares, at x.
    struct LineBands
    {
        double a, b, s, t, xMean, sxx;
        double n;

        explicit LineBands(const equation::EquationData& data)
        {
            const std::vector<double>& x = data.variables[0];
            n = static_cast<double>(x.size());
            double sx = 0, sy = 0;
            for (std::size_t i = 0; i < x.size(); ++i) {
                sx += x[i];
                sy += data.y[i];
            }
            xMean = sx / n;
            const double yMean = sy / n;
            double sxy = 0;
            sxx = 0;
            for (std::size_t i = 0; i < x.size(); ++i) {
                sxx += (x[i] - xMean) * (x[i] - xMean);
                sxy += (x[i] - xMean) * (data.y[i] - yMean);
            }
            b = sxy / sxx;
            a = yMean - b * xMean;
            double sse = 0;
            for (std::size_t i = 0; i < x.size(); ++i)
                sse += std::pow(data.y[i] - a - b * x[i], 2);
            s = std::sqrt(sse / (n - 2));
            t = analysis::studentQuantile(0.975, static_cast<int>(x.size()) - 2);
        }
        double confidence(double x) const
        {
            return t * s * std::sqrt(1.0 / n + (x - xMean) * (x - xMean) / sxx);
        }
        double prediction(double x) const
        {
            return t * s * std::sqrt(1.0 + 1.0 / n + (x - xMean) * (x - xMean) / sxx);
        }
    };

    void expectLineBands(const FitPlot& plot, const LineBands& line)
    {
        ASSERT_TRUE(plot.confidence.shown());
        ASSERT_TRUE(plot.prediction.shown());
        ASSERT_EQ(plot.curve.x.size(), 400u);
        EXPECT_EQ(plot.curve.x.front(), kX[0]);
        EXPECT_EQ(plot.curve.x.back(), kX[std::size(kX) - 1]);
        for (std::size_t i = 0; i < plot.curve.x.size(); i += 19) {
            const double x = plot.curve.x[i];
            const double y = plot.curve.y[i];
            EXPECT_NEAR_REL(y, line.a + line.b * x, 1E-12);
            EXPECT_NEAR_REL(plot.confidence.upper[i] - y, line.confidence(x), 1E-12);
            EXPECT_NEAR_REL(y - plot.confidence.lower[i], line.confidence(x), 1E-12);
            EXPECT_NEAR_REL(plot.prediction.upper[i] - y, line.prediction(x), 1E-12);
            EXPECT_NEAR_REL(y - plot.prediction.lower[i], line.prediction(x), 1E-12);
        }
    }

    TEST(Bands, AnEquationLineHasTheTextbookMeanAndPredictionBands)
    {
        const equation::Tape tape = equation::compiled("a + b*x");
        const equation::EquationData data = lineData();
        const equation::EquationSetup setup = setupOf(2);
        const equation::EquationResult result = equation::fitEquation(tape, data, setup);
        ASSERT_TRUE(result.converged) << result.stopReason;
        expectLineBands(equationPlot(tape, data, result, setup, {}), LineBands(data));
    }

    TEST(Bands, ACatalogueLineHasTheTextbookBandsToo)
    {
        const equation::EquationData data = lineData();
        const LineBands line(data);
        std::ostringstream text;
        text.precision(17);
        for (std::size_t i = 0; i < data.groups(); ++i)
            text << data.variables[0][i] << ',' << data.y[i] << "\r\n";
        // Model 52 of degree 1 at the least-squares line.
        const std::optional<analysis::FitSnapshot> fit = analysis::makeSnapshot(
            core::modelOf(core::kPolynomialModel), 1, core::SampleData::fromText(text.str()),
            static_cast<int>(data.groups()), { line.a, line.b }, {}, {});
        ASSERT_TRUE(fit);
        const FitPlot plot = cataloguePlot(*fit, analysis::describe(*fit), {});
        expectLineBands(plot, line);
        EXPECT_EQ(plot.x.title, "x1");
        EXPECT_TRUE(plot.notes.empty());
    }

    TEST(Bands, ANonlinearFitsHalfWidthIsTTimesItsDeltaMethodError)
    {
        const equation::Tape tape = equation::compiled("a*exp(b*x)");
        equation::EquationData data;
        data.variables.resize(1);
        for (std::size_t i = 0; i < std::size(kX); ++i) {
            data.variables[0].push_back(kX[i]);
            data.y.push_back(2.385 * std::exp(0.317 * kX[i]) * (1.0 + 0.1 * kNoise[i]));
        }
        equation::EquationSetup setup = setupOf(2);
        setup.parameters[1].start = 0.3;
        const equation::EquationResult result = equation::fitEquation(tape, data, setup);
        ASSERT_TRUE(result.converged) << result.stopReason;

        const double a = result.parameters[0].value;
        const double b = result.parameters[1].value;
        const double sa = result.parameters[0].standardError;
        const double sb = result.parameters[1].standardError;
        const double r = result.correlation(0, 1);
        const double t = analysis::studentQuantile(0.975, result.dof);
        const ModelAt at = equationAt(tape, result, setup, data.variables);
        const BandWidths widths = bandHalfWidths(
            at.gradients, equationCovariance(result), result.residualSd, result.dof);
        for (std::size_t i = 0; i < data.groups(); ++i) {
            const double x = kX[i];
            const auto f = [x](double pa, double pb) { return pa * std::exp(pb * x); };
            // Central differences, steps of about the cube root of the rounding.
            const double ha = 1E-5 * a;
            const double hb = 1E-5 * b;
            const double ga = (f(a + ha, b) - f(a - ha, b)) / (2 * ha);
            const double gb = (f(a, b + hb) - f(a, b - hb)) / (2 * hb);
            const double se
                = std::sqrt(ga * ga * sa * sa + 2 * ga * gb * r * sa * sb + gb * gb * sb * sb);
            EXPECT_NEAR_REL(widths.confidence[i], t * se, 1E-8);
            EXPECT_NEAR_REL(widths.prediction[i],
                t * std::sqrt(se * se + result.residualSd * result.residualSd), 1E-8);
            EXPECT_NEAR_REL(at.values[i], result.fitted[i], 1E-14);
        }
    }

    TEST(Bands, AFixedParameterCarriesNoUncertaintyIntoTheBand)
    {
        const equation::Tape tape = equation::compiled("a + b*x");
        const equation::EquationData data = lineData();
        equation::EquationSetup setup = setupOf(2);
        setup.parameters[1].fixed = true;
        setup.parameters[1].start = 2.717;
        const equation::EquationResult result = equation::fitEquation(tape, data, setup);
        const FitPlot plot = equationPlot(tape, data, result, setup, {});
        ASSERT_TRUE(plot.confidence.shown());
        // Only a moves: the band is t·se(a) wide everywhere.
        const double half
            = analysis::studentQuantile(0.975, result.dof) * result.parameters[0].standardError;
        EXPECT_NEAR_REL(plot.confidence.upper.front() - plot.curve.y.front(), half, 1E-12);
        EXPECT_NEAR_REL(plot.confidence.upper.back() - plot.curve.y.back(), half, 1E-12);
    }

} // namespace
} // namespace quantem::plot
