#include "cli/EquationCommand.h"
#include "cli/FitProgram.h"
#include "cli/qt/EquationPlotFile.h"
#include "cli/qt/PlotFile.h"
#include "core/ProcessMemory.h"

// quantem-fit with the chart files of --plot: the program quantem-fit hands such runs to.
int main(int argc, char** argv)
{
    quantem::core::keepFreedMemory();
    using namespace quantem::cli;
    return runFitProgram(argc, argv, PlotWriters { writePlotFile, writeEquationPlotFile });
}
