#pragma once

#include "cli/FitCommand.h"

#include <filesystem>
#include <string>
#include <vector>

namespace quantem::cli {

/// The program that draws --plot charts beside this one: the same command with the toolkit
/// linked in. Runs without --plot never load the toolkit, which takes most of this program's
/// start-up.
inline constexpr const char* kPlotCompanionName = "quantem-fit-plot";

/// Where an installed companion lies, relative to this program's folder.
inline constexpr const char* kPlotCompanionInstallDir = "../libexec/quantem";

/// True when the arguments (after the program name) ask for a chart.
bool asksForPlot(const std::vector<std::string>& arguments);

/// The companion beside the running program, else the installed one under libexec; the one
/// beside it when neither is there, so that the reason names a path.
std::filesystem::path plotCompanionPath();

/// Why the companion at path cannot start here, tried by starting it for its version only;
/// empty when it starts. A loader failure (a memory limit, a missing library) gives its reason
/// on standard error, as the companion's own.
std::string companionStartFailure(const std::filesystem::path& path);

/// Replaces this process by the companion with the same arguments (argv as main received it),
/// once it was seen to start (companionStartFailure). Returns only when it could not, with the
/// reason: the runs are then made here, without the chart.
std::string runPlotCompanion(char** argv);

/// The plot writer of a program that cannot draw, for charts of model runs and plots of
/// equation fits alike (a PlotWriters): says why, naming the companion.
PlotWriter missingPlotCompanion(std::string reason);

} // namespace quantem::cli
