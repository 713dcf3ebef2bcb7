#include "cli/FitProgram.h"

#include "cli/EquationCommand.h"
#include "cli/RankCommand.h"
#include "cli/SaveEquationCommand.h"
#include "core/RootLock.h"

#include <cstdlib>
#include <iostream>
#include <optional>

namespace quantem::cli {

namespace {

    // How the lock on the install root names this program to the others.
    constexpr const char* kFitProgramName = "quantem-fit";

    // The root whose scratch files the command writes: the model runs write them from the first
    // run to the last (rankings and equation fits work in memory). None for a usage error.
    std::optional<std::filesystem::path> scratchRootOf(
        const std::vector<std::string>& arguments, const std::filesystem::path& defaultRoot)
    {
        if (asksForSavingEquation(arguments) || asksForEquation(arguments)
            || asksForRanking(arguments))
            return std::nullopt;
        const ParseResult parsed = parseFitArguments(arguments, defaultRoot);
        if (!parsed.options)
            return std::nullopt;
        return parsed.options->root;
    }

} // namespace

int runFitProgram(int argc, char** argv, const PlotWriter& plot)
{
    const char* home = std::getenv("HOME");
    const std::filesystem::path defaultRoot
        = std::filesystem::path(home != nullptr ? home : ".") / "qorvel_hg";
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    // One program at a time on a root, for the whole command: two runs side by side would read
    // each other's scratch files.
    std::optional<core::RootLock> lock;
    const std::optional<std::filesystem::path> root = scratchRootOf(arguments, defaultRoot);
    std::error_code error;
    // Only the desktop program makes a root: a missing one is the command's usage error.
    if (root && std::filesystem::is_directory(*root, error)) {
        std::filesystem::create_directories(*root / "sys", error);
        lock.emplace(*root, kFitProgramName);
        if (lock->refused()) {
            std::cerr << "quantem-fit: " << lock->refusal() << '\n';
            return kExitMessageShown;
        }
    }
    return fitMain(arguments, defaultRoot, std::cout, std::cerr, plot);
}

} // namespace quantem::cli
