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

    QString titleOf(const plot::FitPlot& plot)
    {
        return plot.title.empty()
            ? QStringLiteral("Quantem plot")
            : QStringLiteral("Quantem plot: %1").arg(QString::fromStdString(plot.title));
    }

} // namespace

bool writePlotFile(const plot::FitPlot& plot, const std::filesystem::path& path, QSize size)
{
    const std::optional<DrawingFormat> format = drawingFormatOf(path);
    if (!format)
        return false;
    return writePaintingFile(plotPainting(plot), titleOf(plot), path, *format, size);
}

std::string plotFileFailure(const std::filesystem::path& path)
{
    if (!drawingFormatOf(path))
        return "its name must end in .png, .svg or .pdf";
    std::error_code error;
    const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
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
