#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace quantem::cli {

/// True when the arguments ask for saving an equation (they hold --save-equation).
bool asksForSavingEquation(const std::vector<std::string>& arguments);

/// The install root whose equation library the arguments ask to save into; no value when they
/// do not ask for saving or hold a usage error.
std::optional<std::filesystem::path> savingRootOf(
    const std::vector<std::string>& arguments, const std::filesystem::path& defaultRoot);

/// Saves the equation of --equation with its --start, --fix, --bounds and --weights under the
/// name of --save-equation in the root's library, replacing one of that name. Returns 0 when
/// saved, 1 when refused (a template's name, a formula that cannot be read, a failed write:
/// the reason on err), 2 for a usage error.
int saveEquationMain(const std::vector<std::string>& arguments,
    const std::filesystem::path& defaultRoot, std::ostream& out, std::ostream& err);

inline constexpr const char* kSaveEquationUsage
    = "       quantem-fit [--root DIR] --save-equation NAME --equation TEXT [--start NAME=V,...]\n"
      "                   [--fix NAME[=V],...] [--bounds NAME=LO:HI,...]\n"
      "                   [--weights none|sigma|inverse-y|inverse-y2|poisson]\n";

} // namespace quantem::cli
