#pragma once

#include "analysis/FitSnapshot.h"
#include "core/SampleData.h"
#include "support/ModelSamples.h"

#include <gtest/gtest.h>

#include <vector>

namespace quantem::analysis {

/// A snapshot of model over groups at its generating coefficients, every exponent shift above
/// the generating one: off the optimum, so that the residuals are not small.
inline FitSnapshot shiftedSnapshot(
    core::ModelId model, const std::vector<std::vector<double>>& groups, double shift)
{
    const core::ModelDescriptor& d = core::modelOf(model);
    const results::CoefficientSet c = test::generatingModel(model);
    std::vector<double> exponents;
    for (int r = 0; r < d.exponents; ++r)
        exponents.push_back(c.k[static_cast<std::size_t>(r)] + shift);
    std::optional<FitSnapshot> fit = makeSnapshot(d, d.elements,
        core::SampleData::fromText(test::sampleFileText(groups)), static_cast<int>(groups.size()),
        std::vector<double>(c.a.begin(), c.a.begin() + d.elements + 1), exponents,
        { 0.0, 0.0, 0.0, 0.0 });
    EXPECT_TRUE(fit.has_value());
    return *fit;
}

} // namespace quantem::analysis
