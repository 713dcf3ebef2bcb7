#pragma once

#include "core/ByteSource.h"
#include "core/SampleData.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace quantem::core {

/// The start of a sample file, read once for runs that each take its first items: the items as
/// numbers (at most the limit asked for, see SampleData::fromSource), and the bytes the reading
/// took. Those bytes hold every item read, each whole with what ends it, and at most one reading
/// buffer more: a reader of no more than those items finds in them what it finds in the file.
struct SamplePrefix
{
    std::string bytes;
    SampleData samples;
};

/// Reads the first itemLimit items of source and no further. Throws the source's faults.
SamplePrefix readSamplePrefix(std::unique_ptr<ByteSource> source, std::size_t itemLimit);

/// The same over bytes in memory, which are not copied whole.
SamplePrefix readSamplePrefix(std::string_view text, std::size_t itemLimit);

} // namespace quantem::core
