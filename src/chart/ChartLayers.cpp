#include "chart/ChartLayers.h"

#include "chart/ChartAxes.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace quantem::chart {

DrawingLayer layerOf(const core::Colour& colour)
{
    if (colour == kCurveColour)
        return DrawingLayer::Curve;
    if (colour == kPointColour || colour == kPolylineColour)
        return DrawingLayer::Samples;
    return DrawingLayer::Axes;
}

std::optional<ExportFormat> exportFormatOf(const std::filesystem::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".png")
        return ExportFormat::Png;
    if (extension == ".svg")
        return ExportFormat::Svg;
    if (extension == ".pdf")
        return ExportFormat::Pdf;
    return std::nullopt;
}

} // namespace quantem::chart
