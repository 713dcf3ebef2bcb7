#pragma once

#include "equation/EquationFit.h"

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

} // namespace quantem::equation
