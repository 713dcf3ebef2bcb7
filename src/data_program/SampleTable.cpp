#include "data_program/SampleTable.h"

#include "core/Fault.h"
#include "core/NumberText.h"
#include "core/Record.h"

#include <algorithm>
#include <iterator>

namespace quantem::data {

namespace {

    using core::Fault;
    using core::FaultCode;
    using core::ItemToken;

    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

    std::string_view withoutByteOrderMark(std::string_view text)
    {
        if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
            text.remove_prefix(kByteOrderMark.size());
        return text;
    }

    // The lines of a text split at CR, LF or CR LF, as the item reader splits them.
    std::vector<std::string_view> splitLines(std::string_view text)
    {
        std::vector<std::string_view> lines;
        std::size_t start = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '\r' && text[i] != '\n')
                continue;
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
        if (start < text.size())
            lines.push_back(text.substr(start));
        return lines;
    }

    std::string shownItem(const ItemToken& token)
    {
        return token.kind == ItemToken::Kind::Text ? '"' + token.text + '"' : token.text;
    }

    // The number an item reads as, or the fault reading it raises, with the place named.
    double itemNumber(const ItemToken& token, std::size_t line, std::size_t item)
    {
        const std::string place = "Line " + std::to_string(line) + ", item " + std::to_string(item);
        switch (token.kind) {
        case ItemToken::Kind::Empty:
            return 0.0;
        case ItemToken::Kind::Number:
            return token.number;
        case ItemToken::Kind::Text:
            throw Fault(FaultCode::TypeMismatch, place + " is not a number: " + shownItem(token));
        case ItemToken::Kind::Unquoted:
            break;
        }
        if (token.fault == static_cast<int>(FaultCode::Overflow))
            throw Fault(FaultCode::Overflow,
                place + " is beyond the range of numbers: " + shownItem(token));
        throw Fault(FaultCode::TypeMismatch, place + " is not a number: " + shownItem(token));
    }

    bool holdsNoNumber(const std::vector<ItemToken>& tokens)
    {
        return std::none_of(tokens.begin(), tokens.end(),
            [](const ItemToken& token) { return token.kind == ItemToken::Kind::Number; });
    }

    SampleText parseLines(
        std::string_view text, bool skipHeader, bool& headerSkipped, const ImportFormat& format)
    {
        checkImportFormat(format);
        SampleText result;
        headerSkipped = false;
        bool firstLine = true;
        std::size_t lineNumber = 0;
        // Line by line, so that a fault can name its line; items never span lines.
        for (std::string_view line : splitLines(withoutByteOrderMark(text))) {
            ++lineNumber;
            const std::vector<ItemToken> tokens = tokenizeLine(line, format);
            if (tokens.empty())
                continue;
            if (firstLine) {
                firstLine = false;
                if (skipHeader && holdsNoNumber(tokens)) {
                    headerSkipped = true;
                    continue;
                }
            }
            // Counted after a header, so that its column names never decide the group size.
            if (result.firstLineItems == 0)
                result.firstLineItems = tokens.size();
            else if (tokens.size() != result.firstLineItems)
                result.uniformLines = false;
            for (std::size_t i = 0; i < tokens.size(); ++i)
                result.numbers.push_back(itemNumber(tokens[i], lineNumber, i + 1));
        }
        return result;
    }

    std::string trimmed(std::string_view text)
    {
        const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
        while (!text.empty() && isBlank(text.front()))
            text.remove_prefix(1);
        while (!text.empty() && isBlank(text.back()))
            text.remove_suffix(1);
        return std::string(text);
    }

} // namespace

SampleText parseSampleText(std::string_view text)
{
    bool headerSkipped = false;
    return parseLines(text, false, headerSkipped, {});
}

SampleText parseImportText(std::string_view text, bool& headerSkipped, const ImportFormat& format)
{
    return parseLines(text, true, headerSkipped, format);
}

int guessGroupSize(const SampleText& text)
{
    const std::size_t items = text.firstLineItems;
    if (items >= static_cast<std::size_t>(kMinGroupSize)
        && items <= static_cast<std::size_t>(kMaxGroupSize))
        return static_cast<int>(items);
    return kDefaultGroupSize;
}

Cell parseCellText(std::string_view text)
{
    const std::string item = trimmed(text);
    if (item.empty())
        return std::nullopt;
    double value = 0.0;
    try {
        if (core::parseNumber(item, value))
            return value;
    } catch (const Fault&) {
        throw Fault(FaultCode::Overflow, "\"" + item + "\" is beyond the range of numbers.");
    }
    throw Fault(FaultCode::TypeMismatch,
        "\"" + item
            + "\" is not a number. A cell holds one number, such as 2.385, -17 or "
              "1.5E-3.");
}

std::string cellText(const Cell& cell) { return cell ? core::recordNumber(*cell) : std::string(); }

SampleTable::SampleTable(int groupSize)
    : m_groupSize(kDefaultGroupSize)
{
    setGroupSize(groupSize);
}

void SampleTable::checkCell(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_groupSize)
        throw Fault(FaultCode::SubscriptOutOfRange);
}

const Cell& SampleTable::cell(int row, int column) const
{
    checkCell(row, column);
    return m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void SampleTable::setCell(int row, int column, Cell value)
{
    checkCell(row, column);
    m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = value;
}

void SampleTable::setNumbers(const std::vector<double>& numbers)
{
    m_rows.clear();
    appendNumbers(numbers);
}

std::vector<double> SampleTable::numbers() const
{
    std::vector<double> result;
    for (const auto& row : m_rows) {
        for (const Cell& cell : row) {
            if (cell)
                result.push_back(*cell);
        }
    }
    return result;
}

void SampleTable::setGroupSize(int size)
{
    if (size < kMinGroupSize || size > kMaxGroupSize)
        throw Fault(FaultCode::InvalidPropertyValue);
    const std::vector<double> all = numbers();
    m_groupSize = size;
    setNumbers(all);
}

void SampleTable::appendNumbers(const std::vector<double>& numbers)
{
    // Continue right after the last filled cell, so that trailing empty rows are reused.
    int row = 0;
    int column = 0;
    for (int r = rowCount() - 1; r >= 0; --r) {
        if (isRowEmpty(r))
            continue;
        int last = m_groupSize - 1;
        while (!m_rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(last)])
            --last;
        row = last + 1 == m_groupSize ? r + 1 : r;
        column = (last + 1) % m_groupSize;
        break;
    }
    writeNumbersAt(row, column, numbers);
}

void SampleTable::writeNumbersAt(int row, int column, const std::vector<double>& numbers)
{
    if (row < 0 || column < 0 || column >= m_groupSize)
        throw Fault(FaultCode::SubscriptOutOfRange);
    for (double number : numbers) {
        while (row >= rowCount())
            m_rows.emplace_back(static_cast<std::size_t>(m_groupSize));
        m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = number;
        if (++column == m_groupSize) {
            column = 0;
            ++row;
        }
    }
}

void SampleTable::insertEmptyRows(int row, int count)
{
    if (row < 0 || row > rowCount() || count < 0)
        throw Fault(FaultCode::SubscriptOutOfRange);
    m_rows.insert(m_rows.begin() + row, static_cast<std::size_t>(count),
        std::vector<Cell>(static_cast<std::size_t>(m_groupSize)));
}

void SampleTable::removeRows(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // From the bottom up, so the rows still to go keep their index.
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (*it >= 0 && *it < rowCount())
            m_rows.erase(m_rows.begin() + *it);
    }
}

bool SampleTable::isRowEmpty(int row) const
{
    const auto& cells = m_rows.at(static_cast<std::size_t>(row));
    return std::none_of(cells.begin(), cells.end(), [](const Cell& cell) { return cell; });
}

bool SampleTable::isRowComplete(int row) const
{
    const auto& cells = m_rows.at(static_cast<std::size_t>(row));
    return std::all_of(cells.begin(), cells.end(), [](const Cell& cell) { return cell; });
}

int SampleTable::groupCount() const
{
    int count = 0;
    for (int row = 0; row < rowCount(); ++row) {
        if (isRowComplete(row))
            ++count;
    }
    return count;
}

std::optional<int> SampleTable::firstIncompleteRow() const
{
    for (int row = 0; row < rowCount(); ++row) {
        if (!isRowEmpty(row) && !isRowComplete(row))
            return row;
    }
    return std::nullopt;
}

bool SampleTable::hasNumbers() const
{
    for (int row = 0; row < rowCount(); ++row) {
        if (!isRowEmpty(row))
            return true;
    }
    return false;
}

std::vector<std::vector<Cell>> SampleTable::filledRows() const
{
    std::vector<std::vector<Cell>> rows;
    for (int row = 0; row < rowCount(); ++row) {
        if (!isRowEmpty(row))
            rows.push_back(m_rows[static_cast<std::size_t>(row)]);
    }
    return rows;
}

std::string saveRefusal(const SampleTable& table)
{
    const std::optional<int> row = table.firstIncompleteRow();
    if (!row)
        return {};
    const int size = table.groupSize();
    int filled = 0;
    for (int column = 0; column < size; ++column) {
        if (table.cell(*row, column))
            ++filled;
    }
    return "Row " + std::to_string(*row + 1) + " is incomplete: it holds " + std::to_string(filled)
        + " of the " + std::to_string(size)
        + " numbers of a group. Fill it, delete it, or change the numbers per group before "
          "saving.";
}

std::string sampleFileText(const SampleTable& table)
{
    const std::string refusal = saveRefusal(table);
    if (!refusal.empty())
        throw Fault(FaultCode::InputPastEndOfFile, refusal);
    std::vector<core::Record> records;
    for (const auto& row : table.filledRows()) {
        core::Record record;
        for (const Cell& cell : row)
            record.emplace_back(*cell);
        records.push_back(std::move(record));
    }
    return core::formatRecords(records);
}

std::string blockText(const SampleTable& table, const std::vector<std::pair<int, int>>& cells)
{
    std::vector<std::pair<int, int>> inside;
    std::copy_if(cells.begin(), cells.end(), std::back_inserter(inside),
        [&table](const auto& cell) { return cell.first < table.rowCount(); });
    if (inside.empty())
        return {};
    std::sort(inside.begin(), inside.end());
    int left = table.groupSize();
    int right = -1;
    for (const auto& cell : inside) {
        left = std::min(left, cell.second);
        right = std::max(right, cell.second);
    }
    std::string text;
    for (int row = inside.front().first; row <= inside.back().first; ++row) {
        for (int column = left; column <= right; ++column) {
            if (column > left)
                text += '\t';
            if (std::binary_search(inside.begin(), inside.end(), std::pair(row, column)))
                text += cellText(table.cell(row, column));
        }
        text += '\n';
    }
    return text;
}

std::string columnHeading(int column, int groupSize)
{
    if (column == groupSize - 1)
        return "y";
    if (groupSize == 2)
        return "x";
    return "x" + std::to_string(column + 1);
}

} // namespace quantem::data
