#pragma once

#include "core/ByteSource.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quantem::core {

class SampleStorage;

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

/// The longest item a reader keeps. A longer item is not a number (fault 13), and only its first
/// kMaxItemLength characters are kept as its text, so that no input makes a reader grow without
/// bound.
inline constexpr std::size_t kMaxItemLength = 4096;

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

/// Takes the items of a file one by one from the start, reading the file only as far as the
/// items asked for. Items are separated by commas and line ends (CR, LF, CR LF); blanks and tabs
/// around an item are skipped; a blank or tab inside an unquoted item ends it; empty lines are
/// skipped; a comma directly before a line end makes no empty item. A UTF-8 byte-order mark at
/// the very start is skipped.
class ItemScanner
{
public:
    explicit ItemScanner(std::unique_ptr<ByteSource> source);

    /// The next item, or false at the end of the file. A number's text is kept in token.text only
    /// when keepNumberText is set.
    bool next(ItemToken& token, bool keepNumberText = true);

private:
    int peek(); // the next byte, or -1 at the end
    void skipBlanks();
    void readQuoted(ItemToken& token);
    void readUnquoted(ItemToken& token, bool keepNumberText);
    bool refill();

    std::unique_ptr<ByteSource> m_source;
    std::vector<char> m_buffer;
    std::size_t m_next = 0;
    std::size_t m_end = 0;
    bool m_atEnd = false;
    bool m_started = false;
    std::string m_item; // the unquoted item being read, at most kMaxItemLength characters
};

/// Splits a text into item tokens (the rules of ItemScanner).
std::vector<ItemToken> tokenizeItems(std::string_view text);

/// Reads items in order, from a file as far as they are asked for, or from samples read before.
/// Every read past the last item throws Fault 62.
class RecordReader
{
public:
    explicit RecordReader(std::string_view text);
    explicit RecordReader(std::unique_ptr<ByteSource> source);
    explicit RecordReader(std::shared_ptr<const SampleStorage> samples);

    /// The next item as a number: an empty item is 0; a string or a non-number throws 13, a
    /// number beyond the double range 6.
    double readNumber();
    /// The next item as it stands (empty, number or string; a non-number unquoted item is its
    /// text). Samples keep numbers only: their other items read as empty.
    RecordItem readItem();
    /// The next item as text: a string's content, a number's record text, "" for an empty item.
    std::string readString();

    bool atEnd();
    std::size_t position() const noexcept { return m_position; }

private:
    const ItemToken& take();
    bool fill();

    std::unique_ptr<ItemScanner> m_scanner;
    std::shared_ptr<const SampleStorage> m_samples;
    ItemToken m_token;
    bool m_pending = false; // m_token holds the next item, not yet taken
    std::size_t m_position = 0;
};

} // namespace quantem::core
