#include "cli/PlotCompanion.h"

#include "cli/EquationCommand.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

extern char** environ;

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

std::string companionStartFailure(const std::filesystem::path& path)
{
    // The companion as it would start, asked only for its version: a loader that cannot map its
    // toolkit (a memory limit, a library missing) ends it before it prints anything.
    const std::string program = path.string();
    char name[] = "quantem-fit-plot";
    char version[] = "--version";
    char* const argv[] = { name, version, nullptr };
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return {};
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    const std::string failed
        = std::string(kPlotCompanionName) + " could not be started (" + program + ": ";
    if (spawned != 0)
        return failed + std::strerror(spawned) + ")";
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return {}; // nothing to tell: the start itself is the test
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return {};
    if (WIFSIGNALED(status))
        return failed + "it ended on signal " + std::to_string(WTERMSIG(status)) + ")";
    return failed + "it ended with status " + std::to_string(WEXITSTATUS(status))
        + " as it started; see the reason above)";
}

std::string runPlotCompanion(char** argv)
{
    const std::filesystem::path path = plotCompanionPath();
    if (std::string failure = companionStartFailure(path); !failure.empty())
        return failure;
    ::execv(path.c_str(), argv);
    return std::string(kPlotCompanionName) + " could not be started (" + path.string() + ": "
        + std::strerror(errno) + ")";
}

PlotWriter missingPlotCompanion(std::string reason)
{
    const auto says = [reason = std::move(reason)](auto&&...) { return reason; };
    return PlotWriters { says, says };
}

} // namespace quantem::cli
