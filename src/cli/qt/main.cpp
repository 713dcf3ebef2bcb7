#include "cli/FitProgram.h"
#include "cli/qt/PlotFile.h"
#include "core/ProcessMemory.h"

// quantem-fit with the chart files of --plot: the program quantem-fit hands such runs to.
int main(int argc, char** argv)
{
    quantem::core::keepFreedMemory();
    return quantem::cli::runFitProgram(argc, argv, quantem::cli::writePlotFile);
}
