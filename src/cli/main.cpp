#include "cli/FitProgram.h"
#include "cli/HelpText.h"
#include "cli/OutOfMemory.h"
#include "cli/PlotCompanion.h"
#include "cli/ThreadCount.h"
#include "core/ProcessMemory.h"
#include "ranking/ThreadAllowance.h"

#include <iostream>

int main(int argc, char** argv)
{
    using namespace quantem::cli;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (const std::optional<std::string> text = helpOrVersionRequest(arguments)) {
        std::cout << *text;
        return std::cout.flush() ? 0 : 1;
    }
    quantem::core::keepFreedMemory();
    // Memory that runs out outside a command (the details, the output) is a message, not an
    // abort that loses what was printed.
    return unlessOutOfMemory(
        [&] {
            const quantem::ranking::ThreadAllowance threads(wantedThreads(arguments));
            // Charts are drawn by the companion program, the only one that loads the toolkit;
            // when it cannot be started, the runs are still made and --plot says why it drew
            // nothing.
            PlotWriter plot;
            if (asksForPlot(arguments))
                plot = missingPlotCompanion(runPlotCompanion(argv));
            return runFitProgram(argc, argv, plot);
        },
        std::cout, std::cerr);
}
