#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace quantem::equation {

/// The items of a sample file whose every item is a plain number (or empty, which reads as 0),
/// read on all cores: the same values, in the same order, as reading the file item by item
/// gives. No value when some item is anything else (a quoted text, a word, a "D" exponent, a
/// number beyond the range, an item too long): such a file takes the general reader, which
/// knows each item's fault.
std::optional<std::vector<double>> plainSampleItems(std::string_view text);

} // namespace quantem::equation
