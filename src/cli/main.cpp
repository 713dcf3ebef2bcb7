#include "cli/FitCommand.h"
#include "cli/qt/PlotFile.h"

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv)
{
    const char* home = std::getenv("HOME");
    const std::filesystem::path defaultRoot
        = std::filesystem::path(home != nullptr ? home : ".") / "qorvel_hg";
    return quantem::cli::fitMain(std::vector<std::string>(argv + 1, argv + argc), defaultRoot,
        std::cout, std::cerr, quantem::cli::writePlotFile);
}
