#include "cli/PlotCompanion.h"

#include "cli/EquationCommand.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <unistd.h>

namespace quantem::cli {

bool asksForPlot(const std::vector<std::string>& arguments)
{
    // An option's value that reads "--plot" also counts: the companion runs the same command,
    // so handing it a run without a chart costs only its start-up.
    return std::find(arguments.begin(), arguments.end(), "--plot") != arguments.end();
}

std::filesystem::path plotCompanionPath()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path here = error ? std::filesystem::path() : self.parent_path();
    // Beside this program in the build tree; installed, it is an internal helper under
    // libexec, found from where this program lies so that any install prefix works.
    const std::filesystem::path beside = here / kPlotCompanionName;
    const std::filesystem::path installed = here / kPlotCompanionInstallDir / kPlotCompanionName;
    return !std::filesystem::exists(beside, error) && std::filesystem::exists(installed, error)
        ? installed.lexically_normal()
        : beside;
}

std::string runPlotCompanion(char** argv)
{
    const std::string path = plotCompanionPath().string();
    ::execv(path.c_str(), argv);
    return std::string(kPlotCompanionName) + " could not be started (" + path + ": "
        + std::strerror(errno) + ")";
}

PlotWriter missingPlotCompanion(std::string reason)
{
    const auto says = [reason = std::move(reason)](auto&&...) { return reason; };
    return PlotWriters { says, says };
}

} // namespace quantem::cli
