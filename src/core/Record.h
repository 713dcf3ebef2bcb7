#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quantem::core {

/// An item of a record: nothing (written as nothing between its commas), a number, or a string
/// (written in double quotes).
struct EmptyItem
{
    bool operator==(const EmptyItem&) const = default;
};
using RecordItem = std::variant<EmptyItem, double, std::string>;
using Record = std::vector<RecordItem>;

/// One record as a line: items joined by ",", numbers as record numbers, strings quoted, ended by
/// CR LF.
std::string formatRecordLine(const Record& record);

/// Several records, one line each.
std::string formatRecords(const std::vector<Record>& records);

/// One token of a text read as items. A token that is not a number where one is expected, or a
/// number beyond the double range, carries the fault its reading raises.
struct ItemToken
{
    enum class Kind
    {
        Empty,
        Number,
        Text,
        Unquoted
    };
    Kind kind = Kind::Empty;
    double number = 0.0;
    std::string text; // the string of a quoted item, the raw text of an unquoted one
    int fault = 0; // for an unquoted item that is not a number: 13, or 6 beyond the range
};

/// Splits a text into item tokens: items separated by commas and line ends (CR, LF, CR LF);
/// blanks and tabs around an item skipped; a blank or tab inside an unquoted item ends it; empty
/// lines skipped; a comma directly before a line end makes no empty item.
std::vector<ItemToken> tokenizeItems(std::string_view text);

/// Reads items in order from a tokenized text. Every read past the last item throws Fault 62.
class RecordReader
{
public:
    explicit RecordReader(std::string_view text);
    explicit RecordReader(std::shared_ptr<const std::vector<ItemToken>> tokens);

    /// The next item as a number: an empty item is 0; a string or a non-number throws 13, a
    /// number beyond the double range 6.
    double readNumber();
    /// The next item as it stands (empty, number or string; a non-number unquoted item is its
    /// text).
    RecordItem readItem();
    /// The next item as text: a string's content, a number's record text, "" for an empty item.
    std::string readString();

    bool atEnd() const noexcept { return m_next >= m_tokens->size(); }
    std::size_t position() const noexcept { return m_next; }

private:
    const ItemToken& take();

    std::shared_ptr<const std::vector<ItemToken>> m_tokens;
    std::size_t m_next = 0;
};

} // namespace quantem::core
