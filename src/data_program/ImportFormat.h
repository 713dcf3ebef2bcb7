#pragma once

#include "core/Record.h"

#include <string>
#include <string_view>
#include <vector>

namespace quantem::data {

/// What separates the items of a line in an imported text.
enum class Separator
{
    Comma, // the program's own reading: commas, blanks and tabs
    Semicolon,
    Tab,
    Blank // blanks and tabs, any number of them
};

/// The character that marks the decimals of a number.
enum class DecimalMark
{
    Point,
    Comma
};

/// How an imported text is read. The default is the program's own reading of sample files.
struct ImportFormat
{
    Separator separator = Separator::Comma;
    DecimalMark decimalMark = DecimalMark::Point;
    bool operator==(const ImportFormat&) const = default;
};

/// Where imported numbers go.
enum class ImportPlacement
{
    Append, // after the last number of the table
    Replace // in place of the table, in groups of the first line's item count
};

/// The user's answer to an import: how to read the file and where its numbers go.
struct ImportChoice
{
    ImportFormat format;
    ImportPlacement placement = ImportPlacement::Append;
    bool operator==(const ImportChoice&) const = default;
};

/// Throws core::Fault 5 with the message for the user when the format cannot be read (a comma
/// both separating items and marking decimals).
void checkImportFormat(const ImportFormat& format);

/// The items of one line (no line end inside) in the format. Blanks and tabs around an item are
/// skipped; an empty item between two separators is empty, and a separator at the end of the
/// line makes none. With a decimal comma an item holding a point is not a number, so that a
/// thousands point never reads as decimals.
std::vector<core::ItemToken> tokenizeLine(std::string_view line, const ImportFormat& format);

/// The format a text most likely has: semicolons, else tabs, else commas, else blanks separate
/// its items, and a comma that does not separate marks decimals.
ImportFormat guessImportFormat(std::string_view text);

/// What an import in the format would read, in one or two sentences for the import dialog.
struct ImportPreview
{
    bool readable = false;
    std::string text;
};
ImportPreview importPreview(std::string_view text, const ImportFormat& format);

} // namespace quantem::data
