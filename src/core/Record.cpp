#include "core/Record.h"

#include "core/Fault.h"
#include "core/NumberText.h"
#include "core/SampleData.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace quantem::core {

namespace {

    constexpr std::size_t kBufferSize = 1 << 16;

    bool isBlank(int c) { return c == ' ' || c == '\t'; }
    bool isLineEnd(int c) { return c == '\r' || c == '\n'; }
    bool endsUnquoted(char c)
    {
        return c == ',' || c == '\r' || c == '\n' || c == ' ' || c == '\t';
    }

    // The common forms ("12.5", "-3E-07") go straight through from_chars; anything it would read
    // differently from the number syntax (a leading "+", a "D" exponent, "inf", "nan", a value
    // beyond the range) takes the general parser. Both round to the nearest double.
    // Powers of ten that a double holds exactly.
    constexpr double kExactPowersOfTen[]
        = { 1E0, 1E1, 1E2, 1E3, 1E4, 1E5, 1E6, 1E7, 1E8, 1E9, 1E10, 1E11, 1E12, 1E13, 1E14, 1E15 };

    // A plain decimal ("-12.375", "0.5") of at most 15 digits: its digits make a whole number
    // that a double holds exactly, and so does the power of ten to divide it by, so the one
    // division rounds to the nearest double as any correct reading does.
    bool plainDecimal(std::string_view raw, double& value)
    {
        std::size_t i = raw.size() > 0 && raw[0] == '-' ? 1 : 0;
        std::uint64_t digits = 0;
        int count = 0;
        int decimals = 0;
        bool point = false;
        for (; i < raw.size(); ++i) {
            const char c = raw[i];
            if (c >= '0' && c <= '9') {
                if (++count > 15)
                    return false;
                digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
                decimals += point ? 1 : 0;
            } else if (c == '.' && !point) {
                point = true;
            } else {
                return false;
            }
        }
        if (count == 0)
            return false;
        value = static_cast<double>(digits) / kExactPowersOfTen[decimals];
        if (raw[0] == '-')
            value = -value;
        return true;
    }

    bool quickNumber(std::string_view raw, double& value)
    {
        if (plainDecimal(raw, value))
            return true;
        if (raw.empty() || raw.front() == '+')
            return false;
        for (char c : raw) {
            if (c == 'i' || c == 'I' || c == 'n' || c == 'N')
                return false;
        }
        const auto result = std::from_chars(raw.data(), raw.data() + raw.size(), value);
        return result.ec == std::errc() && result.ptr == raw.data() + raw.size();
    }

    void setNumberToken(ItemToken& token, std::string_view raw, bool tooLong)
    {
        token.kind = ItemToken::Kind::Unquoted;
        token.fault = 0;
        if (tooLong) {
            token.fault = static_cast<int>(FaultCode::TypeMismatch);
            return;
        }
        if (quickNumber(raw, token.number)) {
            token.kind = ItemToken::Kind::Number;
            return;
        }
        try {
            double value = 0.0;
            if (parseNumber(raw, value)) {
                token.kind = ItemToken::Kind::Number;
                token.number = value;
            } else {
                token.fault = static_cast<int>(FaultCode::TypeMismatch);
            }
        } catch (const Fault& fault) {
            token.fault = fault.number();
        }
    }

} // namespace

std::string formatRecordLine(const Record& record)
{
    std::string line;
    for (std::size_t i = 0; i < record.size(); ++i) {
        if (i > 0)
            line += ',';
        const RecordItem& item = record[i];
        if (const auto* number = std::get_if<double>(&item))
            line += recordNumber(*number);
        else if (const auto* text = std::get_if<std::string>(&item))
            line += '"' + *text + '"';
    }
    return line + "\r\n";
}

std::string formatRecords(const std::vector<Record>& records)
{
    std::string text;
    for (const Record& record : records)
        text += formatRecordLine(record);
    return text;
}

ItemScanner::ItemScanner(std::unique_ptr<ByteSource> source)
    : m_source(std::move(source))
    , m_buffer(kBufferSize)
{
}

bool ItemScanner::refill()
{
    if (m_atEnd)
        return false;
    m_next = 0;
    m_end = m_source->read(m_buffer.data(), m_buffer.size());
    if (m_end == 0)
        m_atEnd = true;
    return m_end != 0;
}

int ItemScanner::peek()
{
    if (m_next == m_end && !refill())
        return -1;
    return static_cast<unsigned char>(m_buffer[m_next]);
}

void ItemScanner::skipBlanks()
{
    while (isBlank(peek()))
        ++m_next;
}

void ItemScanner::readQuoted(ItemToken& token)
{
    token.kind = ItemToken::Kind::Text;
    token.text.clear();
    ++m_next; // the opening quote
    while (true) {
        const int c = peek();
        if (c < 0)
            return; // an unclosed quote runs to the end of the file
        ++m_next;
        if (c == '"')
            break;
        if (token.text.size() < kMaxItemLength)
            token.text += static_cast<char>(c);
    }
    // Whatever follows a closing quote up to the separator is not part of the item.
    for (int c = peek(); c >= 0 && c != ',' && !isLineEnd(c); c = peek())
        ++m_next;
}

void ItemScanner::readUnquoted(ItemToken& token, bool keepNumberText)
{
    // Most items lie whole in the buffer and are parsed where they stand; an item cut by the
    // buffer's end is gathered, up to the longest item kept.
    const std::size_t start = m_next;
    std::size_t i = m_next;
    while (i < m_end && !endsUnquoted(m_buffer[i]))
        ++i;
    if (i < m_end && i - start <= kMaxItemLength) {
        const std::string_view raw(m_buffer.data() + start, i - start);
        m_next = i;
        setNumberToken(token, raw, false);
        if (keepNumberText || token.kind != ItemToken::Kind::Number)
            token.text.assign(raw);
        return;
    }
    m_item.clear();
    bool tooLong = false;
    while (true) {
        const int c = peek();
        if (c < 0 || endsUnquoted(static_cast<char>(c)))
            break;
        ++m_next;
        if (m_item.size() < kMaxItemLength)
            m_item += static_cast<char>(c);
        else
            tooLong = true;
    }
    setNumberToken(token, m_item, tooLong);
    if (keepNumberText || token.kind != ItemToken::Kind::Number)
        token.text = m_item;
}

bool ItemScanner::next(ItemToken& token, bool keepNumberText)
{
    if (!m_started) {
        m_started = true;
        // A byte-order mark that some editors put at the start of a UTF-8 file is no item.
        if (peek() >= 0 && m_end - m_next >= 3 && m_buffer[m_next] == '\xEF'
            && m_buffer[m_next + 1] == '\xBB' && m_buffer[m_next + 2] == '\xBF')
            m_next += 3;
    }
    token.number = 0.0;
    token.fault = 0;
    token.text.clear();
    while (true) {
        skipBlanks();
        const int c = peek();
        if (c < 0)
            return false;
        if (isLineEnd(c)) {
            ++m_next;
            continue;
        }
        if (c == ',') {
            token.kind = ItemToken::Kind::Empty;
            ++m_next;
            return true;
        }
        if (c == '"') {
            readQuoted(token);
        } else {
            readUnquoted(token, keepNumberText);
            skipBlanks();
        }
        if (peek() == ',')
            ++m_next;
        return true;
    }
}

std::vector<ItemToken> tokenizeItems(std::string_view text)
{
    ItemScanner scanner(std::make_unique<StringSource>(std::string(text)));
    std::vector<ItemToken> tokens;
    ItemToken token;
    while (scanner.next(token))
        tokens.push_back(token);
    return tokens;
}

RecordReader::RecordReader(std::string_view text)
    : m_scanner(std::make_unique<ItemScanner>(std::make_unique<StringSource>(std::string(text))))
{
}

RecordReader::RecordReader(std::unique_ptr<ByteSource> source)
    : m_scanner(std::make_unique<ItemScanner>(std::move(source)))
{
}

RecordReader::RecordReader(std::shared_ptr<const SampleStorage> samples)
    : m_samples(std::move(samples))
{
}

bool RecordReader::fill()
{
    if (m_pending)
        return true;
    if (m_samples) {
        if (m_position >= m_samples->itemCount())
            return false;
        m_token = ItemToken {};
        const int fault = m_samples->faultAt(m_position);
        if (fault != 0) {
            m_token.kind = ItemToken::Kind::Unquoted;
            m_token.fault = fault;
        } else {
            m_token.kind = ItemToken::Kind::Number;
            m_token.number = m_samples->values()[m_position];
        }
        m_pending = true;
        return true;
    }
    m_pending = m_scanner->next(m_token);
    return m_pending;
}

bool RecordReader::atEnd() { return !fill(); }

const ItemToken& RecordReader::take()
{
    if (!fill())
        throw Fault(FaultCode::InputPastEndOfFile);
    m_pending = false;
    ++m_position;
    return m_token;
}

double RecordReader::readNumber()
{
    if (m_samples && !m_pending) {
        // The sample passes read millions of numbers: straight from the flat table.
        if (m_position >= m_samples->itemCount())
            throw Fault(FaultCode::InputPastEndOfFile);
        const std::size_t item = m_position++;
        if (item >= m_samples->firstFault()) {
            if (const int fault = m_samples->faultAt(item); fault != 0)
                throw Fault(static_cast<FaultCode>(fault));
        }
        return m_samples->values()[item];
    }
    const ItemToken& token = take();
    switch (token.kind) {
    case ItemToken::Kind::Empty:
        return 0.0;
    case ItemToken::Kind::Number:
        return token.number;
    case ItemToken::Kind::Text:
        throw Fault(FaultCode::TypeMismatch);
    case ItemToken::Kind::Unquoted:
        break;
    }
    throw Fault(static_cast<FaultCode>(token.fault));
}

RecordItem RecordReader::readItem()
{
    const ItemToken& token = take();
    switch (token.kind) {
    case ItemToken::Kind::Empty:
        return EmptyItem {};
    case ItemToken::Kind::Number:
        return token.number;
    case ItemToken::Kind::Text:
    case ItemToken::Kind::Unquoted:
        break;
    }
    if (m_samples)
        return EmptyItem {};
    return token.text;
}

std::string RecordReader::readString()
{
    const ItemToken& token = take();
    if (token.kind == ItemToken::Kind::Empty)
        return {};
    if (token.kind == ItemToken::Kind::Number && token.text.empty())
        return recordNumber(token.number);
    return token.text;
}

} // namespace quantem::core
