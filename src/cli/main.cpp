#include "cli/FitProgram.h"
#include "cli/PlotCompanion.h"
#include "core/ProcessMemory.h"

int main(int argc, char** argv)
{
    using namespace quantem::cli;
    quantem::core::keepFreedMemory();
    // Charts are drawn by the companion program, the only one that loads the toolkit; when it
    // cannot be started, the runs are still made and --plot says why it drew nothing.
    PlotWriter plot;
    if (asksForPlot(std::vector<std::string>(argv + 1, argv + argc)))
        plot = missingPlotCompanion(runPlotCompanion(argv));
    return runFitProgram(argc, argv, plot);
}
