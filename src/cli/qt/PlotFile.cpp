#include "cli/qt/PlotFile.h"

#include "app/Commands.h"
#include "chart/ChartWindow.h"
#include "chart/qt/ChartFile.h"
#include "chart/qt/QtCanvas.h"
#include "cli/qt/OffscreenToolkit.h"

#include <QFont>

#include <memory>

namespace quantem::cli {

namespace {

    // The drawing surface of the chart window, in twips, and the size of its printed texts.
    constexpr int kSurfaceWidthTwips = 12450;
    constexpr int kSurfaceHeightTwips = 8400;
    constexpr double kTextPoints = 8.0;

} // namespace

std::string writePlotFile(core::Session& session, const PlotRequest& request)
{
    const std::optional<chart::ExportFormat> format = chart::exportFormatOf(request.file);
    if (!format)
        return "the chart is written as .png, .svg or .pdf, not " + request.file.string();
    const std::unique_ptr<QGuiApplication> toolkit = startOffscreenToolkit();

    ui::QtCanvas canvas(kSurfaceWidthTwips, kSurfaceHeightTwips);
    QFont font;
    font.setPointSizeF(kTextPoints);
    canvas.setFont(font);
    app::runCommand(session, [&] { chart::plotFit(session, canvas); });
    const core::ExportOutcome written
        = ui::writeChartFile(canvas.drawing(), QString::fromStdString(session.form2.Label7),
            request.file, *format, QSize(request.width, request.height));
    if (!written)
        return "the chart could not be written to " + request.file.string() + ": "
            + written.failure;
    return {};
}

} // namespace quantem::cli
