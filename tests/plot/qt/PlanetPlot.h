#pragma once

#include "equation/CompiledFormula.h"
#include "plot/EquationPlot.h"

namespace quantem::ui {

/// Kepler's planets fitted with a power law, and the plot of that fit for any options.
struct PlanetPlot
{
    equation::Tape tape = equation::compiled("a*x^k");
    equation::EquationData data;
    equation::EquationSetup setup;
    equation::EquationResult result;

    PlanetPlot()
    {
        data.variables = { { 0.387, 0.723, 1.0, 1.524, 5.203, 9.537, 19.191, 30.069 } };
        data.y = { 0.241, 0.615, 1.0, 1.881, 11.862, 29.457, 84.011, 164.79 };
        setup.parameters.assign(2, {});
        setup.parameters[1].start = 1.2;
        setup.startGiven.assign(2, true);
        result = equation::fitEquation(tape, data, setup);
    }
    plot::FitPlot plotFor(const plot::PlotOptions& options) const
    {
        return plot::equationPlot(tape, data, result, setup, options);
    }
};

} // namespace quantem::ui
