#pragma once

#include "equation/EquationEntry.h"

#include <string>
#include <vector>

namespace quantem::equation {

/// The text of the library file holding entries: {"version": 1, "equations": [...]}. A bound
/// is written only where it is finite and a start only where one is given, so every value reads
/// back to the same bits. Throws nlohmann::json::type_error for a text that is not UTF-8.
std::string libraryText(const std::vector<EquationEntry>& entries);

/// The entries of a library file's text, or why the text is not one (a sentence fragment such
/// as "it is not JSON: ..." or "equation 2 has no formula").
struct ParsedLibrary
{
    std::vector<EquationEntry> entries;
    std::string damage; // empty when the text is a library
};
ParsedLibrary parseLibraryText(const std::string& text);

} // namespace quantem::equation
