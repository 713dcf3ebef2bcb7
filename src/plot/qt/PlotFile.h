#pragma once

#include "chart/qt/ChartFile.h"
#include "plot/FitPlot.h"

#include <QSize>

#include <filesystem>
#include <string>

class QPrinter;

namespace quantem::ui {

/// Writes a fit's plot to path, size pixels (a PDF page of that size at 96 pixels to the inch),
/// in the format its extension names (.png, .bmp, .svg or .pdf in any case), through the
/// chart's file writer: the file is replaced whole or not at all, never through a link. The
/// outcome says why not for another extension or a file that cannot be written.
core::ExportOutcome writePlotFile(
    const plot::FitPlot& plot, const std::filesystem::path& path, QSize size);

/// Why writePlotFile could not write path, as the end of a sentence: a name that names no
/// format, a link or another kind of file in its place, a folder that is not there, or a file
/// the system refused.
std::string plotFileFailure(const std::filesystem::path& path);

/// Prints a fit's plot on the printer as it is set up, as large as the page allows in the
/// proportions of an exported plot. False when the printer cannot be painted on.
bool printFitPlot(QPrinter& printer, const plot::FitPlot& plot);

} // namespace quantem::ui
