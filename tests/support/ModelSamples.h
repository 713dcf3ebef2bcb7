#pragma once

#include "core/ModelCatalogue.h"
#include "core/NumberText.h"
#include "core/TermTable.h"
#include "results/EvaluateModel.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace quantem::test {

/// Coefficients a0.. and exponents k1.. as listed; the rest 0.
inline results::CoefficientSet coefficientSet(
    std::initializer_list<double> a, std::initializer_list<double> k = {})
{
    results::CoefficientSet c;
    std::size_t i = 0;
    for (double v : a)
        c.a[i++] = v;
    i = 0;
    for (double v : k)
        c.k[i++] = v;
    return c;
}

/// The model a search can find from its start: a0 = 0.5, ai = 1 + 0.5·i, k1 = 0.67 and every
/// later exponent at the initial value 0.5, each with its term offset (the search takes one
/// exponent at a time while the later ones wait at the initial value).
inline results::CoefficientSet generatingModel(core::ModelId model)
{
    const core::ModelDescriptor& d = core::modelOf(model);
    results::CoefficientSet c;
    for (int i = 0; i <= d.elements; ++i)
        c.a[static_cast<std::size_t>(i)] = i == 0 ? 0.5 : 1.0 + 0.5 * i;
    for (int r = 1; r <= d.exponents; ++r)
        c.k[static_cast<std::size_t>(r - 1)]
            = (r == 1 ? 0.67 : 0.5) + core::exponentOffset(model, r);
    return c;
}

/// Samples of a model: 40 groups with x in 0.5..3, y from the formula with a small relative
/// disturbance, so that no fit is exact and the search runs its normal course. Four-number
/// models hold y and its sums in single precision, which blurs any residual below about 1E-03
/// of y: their disturbance is larger, so that the criterion still tells exponents apart.
inline std::vector<std::vector<double>> modelSamples(
    core::ModelId model, const results::CoefficientSet& c)
{
    std::uint32_t seed = 12345u + static_cast<std::uint32_t>(model);
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<double>((seed >> 8) % 10000u) / 10000.0;
    };
    const double disturbance = core::groupSize(model) == 4 ? 3E-03 : 1E-06;
    std::vector<std::vector<double>> groups;
    for (int g = 0; g < 40; ++g) {
        const double x1 = 0.5 + 2.5 * next();
        const double x2 = 0.5 + 2.5 * next();
        const double x3 = 0.5 + 2.5 * next();
        const double y
            = *results::evaluateModel(model, c, x1, x2, x3) * (1 + disturbance * (next() - 0.5));
        switch (core::groupSize(model)) {
        case 2:
            groups.push_back({ x1, y });
            break;
        case 3:
            groups.push_back({ x1, x2, y });
            break;
        default:
            groups.push_back({ x1, x2, x3, y });
            break;
        }
    }
    return groups;
}

/// Groups as the text of a sample file, one group per line.
inline std::string sampleFileText(const std::vector<std::vector<double>>& groups)
{
    std::string text;
    for (const auto& group : groups) {
        for (std::size_t i = 0; i < group.size(); ++i)
            text += (i > 0 ? "," : "") + core::recordNumber(group[i]);
        text += "\r\n";
    }
    return text;
}

} // namespace quantem::test
