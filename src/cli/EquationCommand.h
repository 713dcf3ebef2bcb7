#pragma once

#include "cli/FitCommand.h"
#include "equation/EquationFit.h"
#include "equation/Weighting.h"

#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace quantem::cli {

/// One NAME=VALUE of --start or --fix (--fix without a value holds the start).
struct NamedValue
{
    std::string name;
    std::optional<double> value;
};

struct NamedBounds
{
    std::string name;
    double lower = -std::numeric_limits<double>::infinity();
    double upper = std::numeric_limits<double>::infinity();
};

/// The options of an equation fit.
struct EquationOptions
{
    std::filesystem::path root;
    std::string equation;
    std::vector<NamedValue> starts;
    std::vector<NamedValue> fixed;
    std::vector<NamedBounds> bounds;
    std::optional<std::size_t> samples;
    equation::Weighting weighting = equation::Weighting::None;
    int threads = 0; // 0: every core
    bool json = false;
    bool details = false;
    std::optional<PlotRequest> plot; // the plot of the fit, drawn after its output
};

/// Draws the plot of an equation fit to the requested file; returns an empty text, or why it
/// was not written.
using EquationPlotWriter
    = std::function<std::string(const equation::Tape&, const equation::EquationData&,
        const equation::EquationResult&, const equation::EquationSetup&, const PlotRequest&)>;

/// A program's plot writer for charts of model runs that also draws the plots of equation fits:
/// handed to fitMain as its PlotWriter, it gives the equation fits their own.
struct PlotWriters
{
    PlotWriter chart;
    EquationPlotWriter equation;

    std::string operator()(core::Session& session, const PlotRequest& request) const
    {
        return chart(session, request);
    }
};

/// The equation plot writer that plot carries when it is a PlotWriters; empty otherwise.
EquationPlotWriter equationPlotWriterOf(const PlotWriter& plot);

struct EquationParseResult
{
    std::optional<EquationOptions> options;
    std::string error;
};

/// True when the arguments ask for an equation fit (they hold --equation).
bool asksForEquation(const std::vector<std::string>& arguments);

/// Parses the arguments of an equation fit.
EquationParseResult parseEquationArguments(
    const std::vector<std::string>& arguments, const std::filesystem::path& defaultRoot);

/// Fits the equation to the root's data.qtm and prints the result on out (JSON alone with
/// --json); reasons go to err. Then draws the plot of the fit with plot when asked to. Writes
/// nothing into the root. Returns 0 when the fit converged and its plot (if any) was written,
/// 1 for a refused formula or data set, no convergence or a plot not written, 130 or 143 when
/// stopped by a signal (no plot is drawn then).
int runEquation(const EquationOptions& options, std::ostream& out, std::ostream& err,
    const EquationPlotWriter& plot = {});

/// Parse and run; 2 for a usage error.
int equationMain(const std::vector<std::string>& arguments,
    const std::filesystem::path& defaultRoot, std::ostream& out, std::ostream& err,
    const EquationPlotWriter& plot = {});

inline constexpr const char* kEquationUsage
    = "       quantem-fit [--root DIR] --equation TEXT [--start NAME=V,...] [--samples N]\n"
      "                   [--fix NAME[=V],...] [--bounds NAME=LO:HI,...]\n"
      "                   [--weights none|sigma|inverse-y|inverse-y2|poisson] [--threads T]\n"
      "                   [--json] [--details] [--plot FILE [--plot-size WxH]]\n";

} // namespace quantem::cli
