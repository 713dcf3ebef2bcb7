#include "data_program/ImportFormat.h"

#include "core/Fault.h"
#include "core/NumberText.h"
#include "data_program/SampleTable.h"

#include <algorithm>

namespace quantem::data {

namespace {

    using core::Fault;
    using core::FaultCode;
    using core::ItemToken;

    bool isBlank(char c) { return c == ' ' || c == '\t'; }

    std::string_view trimmedItem(std::string_view item)
    {
        while (!item.empty() && isBlank(item.front()))
            item.remove_prefix(1);
        while (!item.empty() && isBlank(item.back()))
            item.remove_suffix(1);
        return item;
    }

    // The items of a line split at every separator character; a separator at the end of the
    // line makes no item, as a comma there does in the program's own reading.
    std::vector<std::string_view> splitAt(std::string_view line, char separator)
    {
        std::vector<std::string_view> items;
        std::size_t start = 0;
        for (std::size_t end = line.find(separator); end != std::string_view::npos;
             end = line.find(separator, start)) {
            items.push_back(trimmedItem(line.substr(start, end - start)));
            start = end + 1;
        }
        const std::string_view last = trimmedItem(line.substr(start));
        if (!last.empty() || items.empty())
            items.push_back(last);
        return items;
    }

    std::vector<std::string_view> splitAtBlanks(std::string_view line)
    {
        std::vector<std::string_view> items;
        std::size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && isBlank(line[i]))
                ++i;
            const std::size_t start = i;
            while (i < line.size() && !isBlank(line[i]))
                ++i;
            if (i > start)
                items.push_back(line.substr(start, i - start));
        }
        return items;
    }

    ItemToken itemToken(std::string_view item, DecimalMark mark)
    {
        ItemToken token;
        if (item.empty())
            return token;
        token.text = std::string(item.substr(0, core::kMaxItemLength));
        token.kind = ItemToken::Kind::Unquoted;
        token.fault = static_cast<int>(FaultCode::TypeMismatch);
        std::string number(item);
        if (mark == DecimalMark::Comma) {
            if (number.find('.') != std::string::npos)
                return token;
            std::replace(number.begin(), number.end(), ',', '.');
        }
        try {
            if (core::parseNumber(number, token.number)) {
                token.kind = ItemToken::Kind::Number;
                token.fault = 0;
            }
        } catch (const Fault&) {
            token.fault = static_cast<int>(FaultCode::Overflow);
        }
        return token;
    }

    std::string numbersText(std::size_t count)
    {
        return std::to_string(count) + (count == 1 ? " number" : " numbers");
    }

} // namespace

void checkImportFormat(const ImportFormat& format)
{
    if (format.separator == Separator::Comma && format.decimalMark == DecimalMark::Comma)
        throw Fault(FaultCode::InvalidArgument,
            "A comma cannot both separate the numbers and mark their decimals. Choose "
            "semicolon, tab or blank as the separator");
}

std::vector<ItemToken> tokenizeLine(std::string_view line, const ImportFormat& format)
{
    if (format.separator == Separator::Comma)
        return core::tokenizeItems(line);
    std::vector<ItemToken> tokens;
    if (trimmedItem(line).empty())
        return tokens;
    const std::vector<std::string_view> items = format.separator == Separator::Blank
        ? splitAtBlanks(line)
        : splitAt(line, format.separator == Separator::Semicolon ? ';' : '\t');
    for (std::string_view item : items)
        tokens.push_back(itemToken(item, format.decimalMark));
    return tokens;
}

ImportFormat guessImportFormat(std::string_view text)
{
    const auto holds = [text](char c) { return text.find(c) != std::string_view::npos; };
    ImportFormat format;
    if (holds(';'))
        format.separator = Separator::Semicolon;
    else if (holds('\t'))
        format.separator = Separator::Tab;
    else if (holds(','))
        return format;
    else
        format.separator = Separator::Blank;
    // Decimal-comma files hold no points; a comma in a header of a point file stays a comma.
    if (holds(',') && !holds('.'))
        format.decimalMark = DecimalMark::Comma;
    return format;
}

ImportPreview importPreview(std::string_view text, const ImportFormat& format)
{
    SampleText parsed;
    bool headerSkipped = false;
    try {
        parsed = parseImportText(text, headerSkipped, format);
    } catch (const Fault& fault) {
        return { false, std::string(fault.what()) + ". Choose another separator or decimal mark." };
    }
    if (parsed.numbers.empty())
        return { false, "The file holds no numbers to import." };
    std::string summary = "Reads " + numbersText(parsed.numbers.size());
    summary += parsed.uniformLines
        ? ", " + std::to_string(parsed.firstLineItems) + " on each line."
        : "; the first line holds " + std::to_string(parsed.firstLineItems) + ".";
    if (headerSkipped)
        summary += " The first line, without numbers, is skipped.";
    return { true, summary };
}

} // namespace quantem::data
