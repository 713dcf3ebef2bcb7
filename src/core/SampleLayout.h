#pragma once

#include "core/ByteSource.h"

#include <cstddef>

namespace quantem::core {

/// How the lines of a sample file hold their items.
struct LineLayout
{
    std::size_t lines = 0; // lines with an item, among those read
    std::size_t itemsPerLine = 0; // the count each of them holds; 0 when they differ
};

/// Counts the items on each line of source (commas part them, a comma inside double quotes
/// does not; lines without an item are passed over) until the lines read hold itemLimit items
/// or the source ends, so that no more is read than a fit of that many items reads.
LineLayout readLineLayout(ByteSource& source, std::size_t itemLimit);

} // namespace quantem::core
