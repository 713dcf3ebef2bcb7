#include "cli/qt/EquationPlotFile.h"

#include "cli/qt/OffscreenToolkit.h"
#include "plot/EquationPlot.h"
#include "plot/qt/PlotFile.h"

namespace quantem::cli {

std::string writeEquationPlotFile(const equation::Tape& tape, const equation::EquationData& data,
    const equation::EquationResult& result, const equation::EquationSetup& setup,
    const PlotRequest& request)
{
    if (const std::optional<std::string> obstacle = offscreenToolkitObstacle())
        return "the plot was not written to " + request.file.string() + ": " + *obstacle;
    const std::unique_ptr<QGuiApplication> toolkit = startOffscreenToolkit();
    const plot::FitPlot plot = plot::equationPlot(tape, data, result, setup, {});
    const core::ExportOutcome written
        = ui::writePlotFile(plot, request.file, QSize(request.width, request.height));
    if (!written)
        return "the plot was not written to " + request.file.string() + ": " + written.failure;
    return {};
}

} // namespace quantem::cli
