#pragma once

#include "cli/FitCommand.h"

namespace quantem::cli {

/// The headless program as main receives it: the install root defaults to ~/qorvel_hg, results go
/// to standard output and reasons to standard error. Model runs hold the root's lock
/// (core::RootLock) from the first run to the last, saving an equation while it rewrites the
/// library; when another program keeps it past a short wait, nothing is run and the refusal,
/// naming that program, ends the command with status 1 (with --json, also on standard output
/// as {"error": {"message", "position": null}}).
/// Returns the exit status.
int runFitProgram(int argc, char** argv, const PlotWriter& plot);

} // namespace quantem::cli
