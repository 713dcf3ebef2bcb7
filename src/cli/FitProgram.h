#pragma once

#include "cli/FitCommand.h"

namespace quantem::cli {

/// The headless program as main receives it: the install root defaults to ~/qorvel_hg, results go
/// to standard output and reasons to standard error. Returns the exit status.
int runFitProgram(int argc, char** argv, const PlotWriter& plot);

} // namespace quantem::cli
