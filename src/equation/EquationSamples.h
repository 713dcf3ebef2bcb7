#pragma once

#include "core/SampleData.h"
#include "equation/EquationFit.h"

#include <optional>
#include <string>

namespace quantem::equation {

/// The groups of an equation taken from the sample file's items: variables numbers, then y,
/// then sigma when withSigma. groups: the first that many, or every complete group.
struct EquationSamples
{
    EquationData data;
    std::string error; // why the items cannot be taken, empty when they can
    std::string notice; // items left over after the last complete group
};
EquationSamples equationSamples(const core::SampleStorage& items, int variables, bool withSigma,
    std::optional<std::size_t> groups);

} // namespace quantem::equation
