#include "equation/CompiledFormula.h"
#include "plot/EquationPlot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace quantem::plot {
namespace {

    equation::EquationSetup setupOf(std::size_t parameters)
    {
        equation::EquationSetup setup;
        setup.parameters.assign(parameters, {});
        setup.startGiven.assign(parameters, true);
        return setup;
    }

    bool hasNote(const FitPlot& plot, const std::string& part)
    {
        return std::any_of(plot.notes.begin(), plot.notes.end(),
            [&](const std::string& note) { return note.find(part) != std::string::npos; });
    }

    struct Fitted
    {
        equation::Tape tape;
        equation::EquationData data;
        equation::EquationSetup setup;
        equation::EquationResult result;
    };

    Fitted fitted(const std::string& formula, std::vector<std::vector<double>> variables,
        std::vector<double> y, equation::Weighting weighting = equation::Weighting::None)
    {
        Fitted f { equation::compiled(formula), {}, {}, {} };
        f.data.variables = std::move(variables);
        f.data.y = std::move(y);
        f.setup = setupOf(f.tape.parameters.size());
        f.setup.weighting = weighting;
        f.result = equation::fitEquation(f.tape, f.data, f.setup);
        return f;
    }

    TEST(FitPlot, LogAxesLeaveOutWhatTheyCannotShowAndSaySo)
    {
        const Fitted f = fitted("a + b*x", { { -1.5, 0.0, 0.73, 2.4, 8.9, 31.0 } },
            { -2.1, 0.37, 1.1, 3.9, 12.8, 44.5 });
        PlotOptions options;
        options.xScale = AxisScale::Log;
        options.yScale = AxisScale::Log;
        const FitPlot plot = equationPlot(f.tape, f.data, f.result, f.setup, options);
        EXPECT_EQ(plot.samples.x, (std::vector<double> { 0.73, 2.4, 8.9, 31.0 }));
        EXPECT_EQ(plot.residuals.points.x.size(), 4u);
        EXPECT_TRUE(hasNote(plot, "2 points with x at or below 0 are left out")) << plot.notes[0];
        // The curve spans the x the axis shows, log-spaced.
        ASSERT_FALSE(plot.curve.x.empty());
        EXPECT_EQ(plot.curve.x.front(), 0.73);
        EXPECT_EQ(plot.curve.x.back(), 31.0);
        EXPECT_NEAR(plot.curve.x[1] / plot.curve.x[0], plot.curve.x[2] / plot.curve.x[1], 1E-12);
        EXPECT_GT(plot.x.low, 0.0);
        for (const Tick& tick : plot.x.ticks)
            EXPECT_TRUE(tick.text == "1" || tick.text == "10" || tick.text.find_first_of("25") == 0)
                << tick.text;
        EXPECT_EQ(plot.x.title, "x");
        EXPECT_EQ(plot.residuals.y.scale, AxisScale::Linear);
    }

    TEST(FitPlot, AWeightedFitHasNoPredictionBandAndTitlesCanBeSet)
    {
        const Fitted f = fitted("a*x^k", { { 0.387, 0.723, 1.0, 1.524, 5.203, 9.537 } },
            { 0.241, 0.615, 1.0, 1.881, 11.862, 29.457 }, equation::Weighting::InverseY2);
        PlotOptions options;
        options.xTitle = "distance (AU)";
        options.yTitle = "period (years)";
        const FitPlot plot = equationPlot(f.tape, f.data, f.result, f.setup, options);
        EXPECT_TRUE(plot.confidence.shown());
        EXPECT_FALSE(plot.prediction.shown());
        EXPECT_TRUE(hasNote(plot, "No prediction band: the fit is weighted"));
        EXPECT_EQ(plot.x.title, "distance (AU)");
        EXPECT_EQ(plot.y.title, "period (years)");
        ASSERT_EQ(plot.legend.size(), 3u);
        EXPECT_EQ(plot.legend[1].label, "Fit: a*x^k");

        options.confidenceBand = false;
        EXPECT_FALSE(equationPlot(f.tape, f.data, f.result, f.setup, options).confidence.shown());
    }

    TEST(FitPlot, AFormulaOfTwoVariablesShowsMeasuredAgainstFitted)
    {
        const Fitted f
            = fitted("a*x1 + b*x2", { { 1.0, 2.0, 3.0, 4.0, 5.5 }, { 0.5, 0.1, 0.9, 0.3, 0.7 } },
                { 2.9, 4.2, 8.1, 8.8, 12.9 });
        const FitPlot plot = equationPlot(f.tape, f.data, f.result, f.setup, {});
        EXPECT_EQ(plot.kind, PlotKind::MeasuredAgainstFitted);
        EXPECT_EQ(plot.samples.x, f.result.fitted);
        EXPECT_EQ(plot.samples.y, f.data.y);
        ASSERT_EQ(plot.curve.x.size(), 2u);
        EXPECT_EQ(plot.curve.x, plot.curve.y); // the 1:1 line
        EXPECT_FALSE(plot.confidence.shown());
        EXPECT_EQ(plot.x.title, "fitted y");
        EXPECT_EQ(plot.legend[1].kind, LegendKind::Identity);
    }

    TEST(FitPlot, AParameterWithoutAStandardErrorMeansNoBands)
    {
        // a and b enter only as their sum: the fit cannot tell them apart.
        const Fitted f = fitted("(a + b)*x", { { 1.0, 2.0, 3.0, 4.0 } }, { 2.1, 3.9, 6.2, 7.8 });
        const FitPlot plot = equationPlot(f.tape, f.data, f.result, f.setup, {});
        EXPECT_FALSE(plot.confidence.shown());
        EXPECT_FALSE(plot.prediction.shown());
        EXPECT_TRUE(hasNote(plot, "No bands: a has no standard error"));
        EXPECT_EQ(plot.curve.x.size(), 400u);
    }

} // namespace
} // namespace quantem::plot
