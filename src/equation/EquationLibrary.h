#pragma once

#include "core/FileOperations.h"
#include "equation/EquationEntry.h"

#include <filesystem>
#include <string>
#include <vector>

namespace quantem::equation {

/// The library of saved equations: one JSON file in the install root, written whole.
inline constexpr const char* kEquationLibraryFile = "equations.json";

struct LibraryContents
{
    std::vector<EquationEntry> entries; // in the order they were first saved
    std::string problem; // a sentence when the file is damaged or unreadable, else empty
};

/// The saved equations of the install root. A missing file is an empty library; a damaged or
/// unreadable one is read as empty, and problem is a sentence that names the file and says what
/// to do. Never throws.
LibraryContents readEquationLibrary(const std::filesystem::path& root);

/// Why entry cannot be saved (no name, a template's name, a formula that does not compile, a
/// start that is not finite, bounds not lower below upper), or empty.
std::string entryRefusal(const EquationEntry& entry);

/// Saves entry in the root's library, replacing the entry of the same name. A damaged file is
/// first kept aside as equations.json.damaged (or .damaged-2, ... when that is taken), so
/// nothing is lost; a file that cannot be read is not replaced. Returns empty when saved, else
/// why not, as a sentence (the library is then as it was). Never throws.
std::string saveEquation(const std::filesystem::path& root, const EquationEntry& entry,
    core::FileOperations& operations = core::systemFileOperations());

/// Removes the entry named so from the root's library. Returns empty when removed, else why
/// not (no such entry, a template, a damaged file, a failed write). Never throws.
std::string removeEquation(const std::filesystem::path& root, const std::string& name,
    core::FileOperations& operations = core::systemFileOperations());

} // namespace quantem::equation
