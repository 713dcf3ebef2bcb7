#include "core/Record.h"

#include "core/Fault.h"
#include "core/NumberText.h"

namespace quantem::core {

namespace {

    bool isBlank(char c) { return c == ' ' || c == '\t'; }
    bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

    ItemToken numberToken(std::string_view raw)
    {
        ItemToken token;
        token.kind = ItemToken::Kind::Unquoted;
        token.text = std::string(raw);
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
        return token;
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

std::vector<ItemToken> tokenizeItems(std::string_view text)
{
    std::vector<ItemToken> tokens;
    std::size_t i = 0;
    const std::size_t size = text.size();
    auto skipBlanks = [&] {
        while (i < size && isBlank(text[i]))
            ++i;
    };
    while (true) {
        skipBlanks();
        if (i >= size)
            break;
        const char c = text[i];
        if (isLineEnd(c)) {
            ++i;
            continue;
        }
        if (c == ',') {
            tokens.push_back(ItemToken {});
            ++i;
            continue;
        }
        if (c == '"') {
            const std::size_t close = text.find('"', i + 1);
            const std::size_t end = close == std::string_view::npos ? size : close;
            ItemToken token;
            token.kind = ItemToken::Kind::Text;
            token.text = std::string(text.substr(i + 1, end - i - 1));
            tokens.push_back(std::move(token));
            i = close == std::string_view::npos ? size : close + 1;
            // Whatever follows a closing quote up to the separator is not part of the item.
            while (i < size && text[i] != ',' && !isLineEnd(text[i]))
                ++i;
        } else {
            const std::size_t start = i;
            while (i < size && text[i] != ',' && !isLineEnd(text[i]) && !isBlank(text[i]))
                ++i;
            tokens.push_back(numberToken(text.substr(start, i - start)));
            skipBlanks();
        }
        if (i < size && text[i] == ',')
            ++i;
    }
    return tokens;
}

RecordReader::RecordReader(std::string_view text)
    : m_tokens(std::make_shared<const std::vector<ItemToken>>(tokenizeItems(text)))
{
}

RecordReader::RecordReader(std::shared_ptr<const std::vector<ItemToken>> tokens)
    : m_tokens(std::move(tokens))
{
}

const ItemToken& RecordReader::take()
{
    if (m_next >= m_tokens->size())
        throw Fault(FaultCode::InputPastEndOfFile);
    return (*m_tokens)[m_next++];
}

double RecordReader::readNumber()
{
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
