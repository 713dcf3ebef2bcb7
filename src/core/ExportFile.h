#pragma once

#include "core/FileOperations.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace quantem::core {

/// What became of a file the user asked to have written: written, or why not.
struct ExportOutcome
{
    /// Why the file was not written, as the end of a sentence that names it; empty when written.
    std::string failure;

    explicit operator bool() const noexcept { return failure.empty(); }
};

/// Why path may not take a file the user exports, as the end of a sentence: a symbolic link
/// stands there, or something that is not a regular file (a folder, a device, a pipe). Empty
/// when nothing or a regular file stands there.
std::string exportDestinationRefusal(const std::filesystem::path& path);

/// Writes bytes to path (a chart, a plot, a report, a table the user saves) whole or not at all:
/// refused with nothing written when exportDestinationRefusal gives a reason, else through a
/// temporary file beside it, created exclusively, flushed to the disk and renamed over path
/// itself. The failure is the refusal or the system's reason.
ExportOutcome writeExportFile(const std::filesystem::path& path, std::string_view bytes,
    FileOperations& operations = systemFileOperations());

} // namespace quantem::core
