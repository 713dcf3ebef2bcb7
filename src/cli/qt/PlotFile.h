#pragma once

#include "cli/FitCommand.h"
#include "core/Session.h"

#include <string>

namespace quantem::cli {

/// Draws the chart of the fit the session shows (points and fitted curve on grid axes, first
/// column on X) to the requested file, off screen. Starts the toolkit without a display when
/// the program has not started it. Returns an empty text, or why the file was not written.
std::string writePlotFile(core::Session& session, const PlotRequest& request);

} // namespace quantem::cli
