#pragma once

#include "cli/FitCommand.h"
#include "equation/EquationFit.h"

#include <string>

namespace quantem::cli {

/// Draws the plot of an equation fit (the fitted curve with its bands, or measured against
/// fitted y, and the residuals) to the requested file, off screen. Returns an empty text, or why
/// the file was not written.
std::string writeEquationPlotFile(const equation::Tape& tape, const equation::EquationData& data,
    const equation::EquationResult& result, const equation::EquationSetup& setup,
    const PlotRequest& request);

} // namespace quantem::cli
