#include "core/SampleLayout.h"

#include <array>

namespace quantem::core {

namespace {

    /// Items of one line as they are counted: a line is an item more than its separating
    /// commas, unless it holds nothing but blanks.
    struct LineCounter
    {
        std::size_t commas = 0;
        bool hasText = false;
        bool quoted = false;

        void take(char c)
        {
            if (c == '"')
                quoted = !quoted;
            if (c == ',' && !quoted)
                ++commas;
            else if (c != ' ' && c != '\t' && c != '\r')
                hasText = true;
        }
        std::size_t items() const { return hasText || commas > 0 ? commas + 1 : 0; }
    };

    struct LayoutCounter
    {
        LineLayout layout;
        std::size_t items = 0;
        bool mixed = false;

        void endLine(const LineCounter& line)
        {
            const std::size_t count = line.items();
            if (count == 0)
                return;
            if (layout.lines == 0)
                layout.itemsPerLine = count;
            else if (count != layout.itemsPerLine)
                mixed = true;
            ++layout.lines;
            items += count;
        }
    };

} // namespace

LineLayout readLineLayout(ByteSource& source, std::size_t itemLimit)
{
    LayoutCounter counter;
    LineCounter line;
    std::array<char, 4096> buffer {};
    while (counter.items < itemLimit) {
        const std::size_t got = source.read(buffer.data(), buffer.size());
        if (got == 0) {
            counter.endLine(line);
            break;
        }
        for (std::size_t i = 0; i < got && counter.items < itemLimit; ++i) {
            if (buffer[i] == '\n') {
                counter.endLine(line);
                line = {};
            } else {
                line.take(buffer[i]);
            }
        }
    }
    if (counter.mixed)
        counter.layout.itemsPerLine = 0;
    return counter.layout;
}

} // namespace quantem::core
