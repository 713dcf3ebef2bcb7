#pragma once

#include "chart/ChartLayers.h"
#include "core/Form2.h"

#include <filesystem>
#include <string>

namespace quantem::chart {

/// The desktop services behind capturing, saving and printing the chart window.
class ChartExport
{
public:
    enum class PrintOutcome
    {
        Printed,
        Cancelled,
        Failed
    };

    virtual ~ChartExport() = default;

    /// The chart window as it now appears on the screen (frame and caption included where the
    /// platform lets a program read them).
    virtual core::Picture captureWindow() = 0;
    /// Writes the picture to path as a Windows bitmap. Returns false when it cannot be written.
    virtual bool savePicture(const core::Picture& picture, const std::filesystem::path& path) = 0;
    /// Writes the chart as drawn (from the drawing, not from the screen) to path in the format.
    /// Returns false when it cannot be written.
    virtual bool exportChart(const std::filesystem::path& path, ExportFormat format) = 0;
    /// Prints the whole window.
    virtual PrintOutcome printWindow() = 0;
    /// A plain message box with an OK button.
    virtual void messageBox(const std::string& text) = 0;
};

} // namespace quantem::chart
