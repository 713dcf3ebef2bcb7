#include "cli/FitProgram.h"

#include <cstdlib>
#include <iostream>

namespace quantem::cli {

int runFitProgram(int argc, char** argv, const PlotWriter& plot)
{
    const char* home = std::getenv("HOME");
    const std::filesystem::path defaultRoot
        = std::filesystem::path(home != nullptr ? home : ".") / "qorvel_hg";
    return fitMain(
        std::vector<std::string>(argv + 1, argv + argc), defaultRoot, std::cout, std::cerr, plot);
}

} // namespace quantem::cli
