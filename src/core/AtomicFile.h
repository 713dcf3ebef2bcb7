#pragma once

#include "core/FileOperations.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace quantem::core {

/// Writes content to path whole: into a new temporary file in the same folder, created
/// exclusively under an unpredictable name (so nothing is written through a link someone
/// planted), flushed to the disk and closed, then renamed over path. On any failure the
/// temporary file is removed and path keeps its previous content. Throws Fault 75, whose text
/// names path and the system's reason, when the file cannot be written.
void writeFileAtomically(const std::filesystem::path& path, std::string_view content,
    FileOperations& operations = systemFileOperations());

/// As writeFileAtomically, but returns the system's error instead of throwing it (no error: the
/// file is written).
std::error_code replaceFileWhole(const std::filesystem::path& path, std::string_view content,
    FileOperations& operations = systemFileOperations());

/// Whether name is one of the temporary files that writeFileAtomically makes for a file named
/// target: "." + target + ".tmp-" + six letters or digits.
bool isTemporaryFileOf(std::string_view name, std::string_view target);

/// Removes the temporary files that a run ended in the middle of a write left in folder beside
/// the files named in targets. Nothing else is touched, not even a folder of such a name, nor
/// a temporary file that a running writer still holds (see FileOperations::create). Returns how
/// many were removed.
std::size_t removeLeftTemporaryFiles(const std::filesystem::path& folder,
    const std::vector<std::string>& targets, FileOperations& operations = systemFileOperations());

} // namespace quantem::core
