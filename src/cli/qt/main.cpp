#include "cli/FitProgram.h"
#include "cli/qt/PlotFile.h"

// quantem-fit with the chart files of --plot: the program quantem-fit hands such runs to.
int main(int argc, char** argv)
{
    return quantem::cli::runFitProgram(argc, argv, quantem::cli::writePlotFile);
}
