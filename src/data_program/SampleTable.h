#pragma once

#include "data_program/ImportFormat.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quantem::data {

/// Numbers per group: two to four for the power models, up to 50 elements and y for multiple
/// linear regression.
inline constexpr int kMinGroupSize = 2;
inline constexpr int kMaxGroupSize = 51;
inline constexpr int kDefaultGroupSize = 2;

/// The numbers of a sample text in file order, and the item count of its first non-empty line
/// (the hint for the numbers per group); uniformLines when every line holds that many.
struct SampleText
{
    std::vector<double> numbers;
    std::size_t firstLineItems = 0;
    bool uniformLines = true;
};

/// Reads every item of text as a number by the program's reading rules: commas, line ends, blanks
/// and tabs separate items, an empty item between two commas is 0. A leading UTF-8 byte-order
/// mark is skipped. Throws core::Fault 13 for an item that is not a number and 6 for one beyond
/// the double range; what() names the line and the item.
SampleText parseSampleText(std::string_view text);

/// Like parseSampleText, but a first line without a single number (a header of column names) is
/// left out, and the items are read in the given format. headerSkipped tells whether the first
/// line was left out. Throws as parseSampleText, and as checkImportFormat.
SampleText parseImportText(
    std::string_view text, bool& headerSkipped, const ImportFormat& format = {});

/// The numbers per group for a file: the item count of its first line when that is 2..51, else 2.
int guessGroupSize(const SampleText& text);

/// A table cell: a number, or nothing.
using Cell = std::optional<double>;

/// A typed cell text: surrounding blanks and tabs ignored, nothing left means an empty cell.
/// Throws core::Fault 13 when the text is not one number, 6 when it is beyond the double range;
/// what() is the message for the user.
Cell parseCellText(std::string_view text);

/// The text a cell shows: the number as it will be written to the sample file.
std::string cellText(const Cell& cell);

/// The groups being edited: rows of a fixed count of cells. Rows may be partly filled or empty
/// while the user types; the sample file takes only full rows.
class SampleTable
{
public:
    explicit SampleTable(int groupSize = kDefaultGroupSize);

    int groupSize() const noexcept { return m_groupSize; }
    int rowCount() const noexcept { return static_cast<int>(m_rows.size()); }
    const Cell& cell(int row, int column) const;
    void setCell(int row, int column, Cell value);

    /// Replaces everything by numbers laid out in rows of the group size, in order; the last row
    /// is partly filled when the count does not divide evenly.
    void setNumbers(const std::vector<double>& numbers);
    /// Every filled cell, row by row.
    std::vector<double> numbers() const;
    /// Lays the numbers out again in rows of size (2..51); empty cells and rows drop out.
    /// Throws core::Fault 380 for a size outside 2..51.
    void setGroupSize(int size);

    /// Adds numbers after the last filled cell, continuing its row.
    void appendNumbers(const std::vector<double>& numbers);
    /// Writes numbers into the cells from (row, column) on, across and then down, over whatever
    /// stands there; rows are added as needed.
    void writeNumbersAt(int row, int column, const std::vector<double>& numbers);

    /// Inserts count empty rows before row (row == rowCount() appends).
    void insertEmptyRows(int row, int count);
    /// Removes the given rows (any order, repeats allowed).
    void removeRows(std::vector<int> rows);
    void clear() { m_rows.clear(); }

    bool isRowEmpty(int row) const;
    bool isRowComplete(int row) const;
    /// The number of full rows: the groups the sample file will hold.
    int groupCount() const;
    /// The first row that is partly filled, if any.
    std::optional<int> firstIncompleteRow() const;
    bool hasNumbers() const;

    /// The rows that hold at least one number, as they stand: what saving compares against.
    std::vector<std::vector<Cell>> filledRows() const;

    bool operator==(const SampleTable&) const = default;

private:
    void checkCell(int row, int column) const;

    int m_groupSize;
    std::vector<std::vector<Cell>> m_rows;
};

/// Why the table cannot be saved ("Row 4 is incomplete: ..."), or empty when it can.
std::string saveRefusal(const SampleTable& table);

/// The sample file text: one group per line, its numbers as record numbers joined by ",", each
/// line ended by CR LF; empty rows are left out. Throws core::Fault 62 with the refusal text when
/// a row is incomplete.
std::string sampleFileText(const SampleTable& table);

/// The cells as a block of tab-separated lines, as spreadsheets copy them: the smallest block
/// that holds every given (row, column), one line per row, each ended by LF; a cell of the block
/// that is not given, or is empty, is an empty item. Rows beyond the table are left out.
std::string blockText(const SampleTable& table, const std::vector<std::pair<int, int>>& cells);

/// The heading of column (0-based) for the group size: x and y, or x1..xm and y.
std::string columnHeading(int column, int groupSize);

} // namespace quantem::data
