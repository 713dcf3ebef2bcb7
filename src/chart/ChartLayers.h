#pragma once

#include "core/WindowStates.h"

#include <filesystem>
#include <optional>

namespace quantem::chart {

/// What a drawing call belongs to. A finished chart shows the axes at the back, the samples over
/// them and the fitted curve on top, whatever order the commands drew them in.
enum class DrawingLayer
{
    Axes,
    Samples,
    Curve
};

/// The layer of a line or point of the given colour.
DrawingLayer layerOf(const core::Colour& colour);

/// The file formats a chart is exported to.
enum class ExportFormat
{
    Png,
    Svg,
    Pdf
};

/// The format named by a file's extension (.png, .svg, .pdf in any case); none for others.
std::optional<ExportFormat> exportFormatOf(const std::filesystem::path& path);

} // namespace quantem::chart
