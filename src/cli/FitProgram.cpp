#include "cli/FitProgram.h"

#include "cli/EquationCommand.h"
#include "cli/EquationOutput.h"
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

    /// The root a command writes, whether into its scratch folder, and whether it answers in
    /// JSON.
    struct WrittenRoot
    {
        std::filesystem::path root;
        bool scratch = false;
        bool json = false;
    };

    // The root whose files the command writes: the model runs write its scratch files from the
    // first run to the last, saving an equation rewrites its equation library (rankings and
    // equation fits work in memory). None for a usage error.
    std::optional<WrittenRoot> writtenRootOf(
        const std::vector<std::string>& arguments, const std::filesystem::path& defaultRoot)
    {
        if (asksForSavingEquation(arguments)) {
            if (std::optional<std::filesystem::path> root = savingRootOf(arguments, defaultRoot))
                return WrittenRoot { std::move(*root), false, false };
            return std::nullopt;
        }
        if (asksForEquation(arguments) || asksForRanking(arguments))
            return std::nullopt;
        const ParseResult parsed = parseFitArguments(arguments, defaultRoot);
        if (!parsed.options)
            return std::nullopt;
        return WrittenRoot { parsed.options->root, true, parsed.options->json };
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
    const std::optional<WrittenRoot> written = writtenRootOf(arguments, defaultRoot);
    std::error_code error;
    // Only the desktop program makes a root: a missing one is the command's usage error.
    if (written && std::filesystem::is_directory(written->root, error)) {
        if (written->scratch)
            std::filesystem::create_directories(written->root / "sys", error);
        lock.emplace(written->root, kFitProgramName);
        if (lock->refused()) {
            std::cerr << "quantem-fit: " << lock->refusal() << '\n';
            // A reader of the JSON gets the refusal as every refused command gives it there.
            if (written->json)
                std::cout << errorJson(lock->refusal(), std::nullopt).dump(2) << '\n';
            return kExitMessageShown;
        }
    }
    return fitMain(arguments, defaultRoot, std::cout, std::cerr, plot);
}

} // namespace quantem::cli
