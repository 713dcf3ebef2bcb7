#pragma once

#include "equation/EquationFit.h"

namespace quantem::core {
class ScratchStore;
}

#include <optional>
#include <span>
#include <string>

namespace quantem::equation {

/// The groups of an equation taken from the sample file's items (firstFault: the first item
/// that is not a number, items.size() when all are): variables numbers, then y, then sigma when
/// withSigma. groups: the first that many, or every complete group.
struct EquationSamples
{
    EquationData data;
    std::string error; // why the items cannot be taken, empty when they can
    std::string notice; // items left over after the last complete group
};
EquationSamples equationSamples(std::span<const double> items, std::size_t firstFault,
    int variables, bool withSigma, std::optional<std::size_t> groups);

/// The groups of an equation read from the store's data.qtm: the first groups of them (the file
/// is read no further), or every complete group, read on all cores when every item is a plain
/// number. error says so when data.qtm is missing or cannot be read.
EquationSamples readEquationSamples(const core::ScratchStore& store, int variables, bool withSigma,
    std::optional<std::size_t> groups);

} // namespace quantem::equation
