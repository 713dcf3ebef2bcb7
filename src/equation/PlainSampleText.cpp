#include "equation/PlainSampleText.h"

#include "core/Record.h"

#include <charconv>
#include <tbb/parallel_for.h>

namespace quantem::equation {

namespace {

    bool isBlank(char c) { return c == ' ' || c == '\t'; }
    bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
    bool endsItem(char c) { return c == ',' || isLineEnd(c) || isBlank(c); }

    /// Whether raw is read alike by from_chars and the general reader: not a leading "+" or an
    /// exponent form of its own, a word such as inf or nan, a quote.
    bool plainCharacters(std::string_view raw)
    {
        if (raw.empty() || raw.front() == '+')
            return false;
        for (const char c : raw) {
            const bool digit = c >= '0' && c <= '9';
            if (!digit && c != '.' && c != '-' && c != '+' && c != 'e' && c != 'E')
                return false;
        }
        return true;
    }

    /// The items of text from a line start to its end, as the item scanner reads them: line
    /// ends and blanks between items are skipped, a comma where an item should start is an
    /// empty item, a comma after an item ends it. False at the first item that is not plain.
    bool readSpan(std::string_view text, std::vector<double>& items)
    {
        std::size_t i = 0;
        const std::size_t n = text.size();
        while (true) {
            while (i < n && (isBlank(text[i]) || isLineEnd(text[i])))
                ++i;
            if (i == n)
                return true;
            if (text[i] == ',') {
                items.push_back(0.0);
                ++i;
                continue;
            }
            const std::size_t start = i;
            while (i < n && !endsItem(text[i]))
                ++i;
            const std::string_view raw = text.substr(start, i - start);
            if (raw.size() > core::kMaxItemLength || !plainCharacters(raw))
                return false;
            double value = 0.0;
            const auto result = std::from_chars(raw.data(), raw.data() + raw.size(), value);
            if (result.ec != std::errc() || result.ptr != raw.data() + raw.size())
                return false;
            items.push_back(value);
            while (i < n && isBlank(text[i]))
                ++i;
            if (i < n && text[i] == ',')
                ++i;
        }
    }

} // namespace

std::optional<std::vector<double>> plainSampleItems(std::string_view text)
{
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3); // a byte-order mark is no item
    // Pieces that start at a line start: there the scanner is in the state it has at the start
    // of the file, so each piece reads on its own and the pieces join in file order.
    constexpr std::size_t kPiece = std::size_t { 1 } << 20;
    std::vector<std::size_t> starts { 0 };
    while (starts.back() + kPiece < text.size()) {
        const std::size_t lineEnd = text.find('\n', starts.back() + kPiece);
        if (lineEnd == std::string_view::npos)
            break;
        starts.push_back(lineEnd + 1);
    }
    starts.push_back(text.size());
    const std::size_t pieces = starts.size() - 1;
    std::vector<std::vector<double>> read(pieces);
    std::vector<char> plain(pieces, 0);
    tbb::parallel_for(std::size_t { 0 }, pieces, [&](std::size_t p) {
        read[p].reserve((starts[p + 1] - starts[p]) / 8);
        plain[p] = readSpan(text.substr(starts[p], starts[p + 1] - starts[p]), read[p]) ? 1 : 0;
    });
    std::size_t total = 0;
    for (std::size_t p = 0; p < pieces; ++p) {
        if (plain[p] == 0)
            return std::nullopt;
        total += read[p].size();
    }
    std::vector<double> items;
    items.reserve(total);
    for (const std::vector<double>& piece : read)
        items.insert(items.end(), piece.begin(), piece.end());
    return items;
}

} // namespace quantem::equation
