#include "plot/qt/PlotFile.h"

#include "plot/qt/PlotPainter.h"

#include <QString>

#include <system_error>

namespace quantem::ui {

namespace {

    Painting plotPainting(const plot::FitPlot& plot)
    {
        return
            [&plot](QPainter& painter, const QRectF& target) { paintPlot(painter, target, plot); };
    }

    std::filesystem::path folderOf(const std::filesystem::path& path)
    {
        return path.parent_path().empty() ? "." : path.parent_path();
    }

    QString titleOf(const plot::FitPlot& plot)
    {
        return plot.title.empty()
            ? QStringLiteral("Quantem plot")
            : QStringLiteral("Quantem plot: %1").arg(QString::fromStdString(plot.title));
    }

} // namespace

core::ExportOutcome writePlotFile(
    const plot::FitPlot& plot, const std::filesystem::path& path, QSize size)
{
    const std::optional<DrawingFormat> format = drawingFormatOf(path);
    if (!format)
        return { plotFileFailure(path) };
    core::ExportOutcome written
        = writePaintingFile(plotPainting(plot), titleOf(plot), path, *format, size);
    // A folder that is not there reads better by its name than as the system's "no such file".
    std::error_code error;
    if (!written && !std::filesystem::is_directory(folderOf(path), error))
        written.failure = plotFileFailure(path);
    return written;
}

std::string plotFileFailure(const std::filesystem::path& path)
{
    if (!drawingFormatOf(path))
        return "its name must end in .png, .svg or .pdf";
    if (std::string refusal = core::exportDestinationRefusal(path); !refusal.empty())
        return refusal;
    const std::filesystem::path folder = folderOf(path);
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error))
        return "the folder " + folder.string() + " does not exist";
    return "the file could not be written there: choose a folder you may write to, with room "
           "left on its disk";
}

bool printFitPlot(QPrinter& printer, const plot::FitPlot& plot)
{
    return printPainting(printer, plotPainting(plot), QSizeF(kDefaultExportSize));
}

} // namespace quantem::ui
