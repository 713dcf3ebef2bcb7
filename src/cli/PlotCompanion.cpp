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
    return (error ? std::filesystem::path() : self.parent_path()) / kPlotCompanionName;
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
