#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace quantem::test {

/// The eight planets' distance (AU) and period (years), as a sample file with CR LF line ends.
inline constexpr const char* kPlanetSamples
    = "0.387,0.241\r\n0.723,0.615\r\n1,1\r\n1.524,1.881\r\n"
      "5.203,11.862\r\n9.539,29.458\r\n19.18,84.01\r\n30.06,164.8\r\n";

struct ShellRun
{
    int status = -1; // the exit status, -1 when ended by a signal
    std::string out;
    std::string err;
};

/// Runs a shell command (limits such as "ulimit -v N && " may lead it). Standard error goes to
/// errFile and is read back, or is dropped when errFile is empty.
inline ShellRun runShell(const std::string& command, const std::filesystem::path& errFile = {})
{
    ShellRun run;
    const std::string redirect
        = errFile.empty() ? std::string(" 2>/dev/null") : " 2>'" + errFile.string() + "'";
    FILE* pipe = ::popen(("(" + command + ")" + redirect).c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, read);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (!errFile.empty()) {
        std::ifstream in(errFile, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        run.err = text.str();
    }
    return run;
}

} // namespace quantem::test
