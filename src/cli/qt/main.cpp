#include "cli/EquationCommand.h"
#include "cli/FitProgram.h"
#include "cli/HelpText.h"
#include "cli/OutOfMemory.h"
#include "cli/qt/EquationPlotFile.h"
#include "cli/qt/PlotFile.h"
#include "core/ProcessMemory.h"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

// quantem-fit with the chart files of --plot: the program quantem-fit hands such runs to.
int main(int argc, char** argv)
{
    using namespace quantem::cli;
    // quantem-fit asks for the version to see that this program starts at all.
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (const std::optional<std::string> text = helpOrVersionRequest(arguments)) {
        std::cout << *text;
        return std::cout.flush() ? 0 : 1;
    }
    quantem::core::keepFreedMemory();
    return unlessOutOfMemory(
        [&] {
            return runFitProgram(argc, argv, PlotWriters { writePlotFile, writeEquationPlotFile });
        },
        std::cout, std::cerr);
}
