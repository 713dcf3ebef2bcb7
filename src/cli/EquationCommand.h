#pragma once

#include "equation/Weighting.h"

#include <filesystem>
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
};

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
/// --json); reasons go to err. Writes nothing into the root. Returns 0 when the fit converged,
/// 1 for a refused formula or data set or no convergence, 130 or 143 when stopped by a signal.
int runEquation(const EquationOptions& options, std::ostream& out, std::ostream& err);

/// Parse and run; 2 for a usage error.
int equationMain(const std::vector<std::string>& arguments,
    const std::filesystem::path& defaultRoot, std::ostream& out, std::ostream& err);

inline constexpr const char* kEquationUsage
    = "       quantem-fit [--root DIR] --equation TEXT [--start NAME=V,...] [--samples N]\n"
      "                   [--fix NAME[=V],...] [--bounds NAME=LO:HI,...]\n"
      "                   [--weights none|sigma|inverse-y|inverse-y2|poisson] [--threads T]\n"
      "                   [--json] [--details]\n";

} // namespace quantem::cli
