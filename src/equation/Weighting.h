#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quantem::equation {

/// How the rows of a fit are weighted: each residual is multiplied by a row scale s, so the fit
/// minimises the sum of (s (fitted - y))^2.
enum class Weighting
{
    None, // s = 1
    Sigma, // s = 1 / sigma, sigma a number after y in each group
    InverseY, // s^2 = 1 / |y|
    InverseY2, // s = 1 / |y|: relative residuals
    Poisson, // s^2 = 1 / max(y, 1): counts, whose variance is their mean
};

/// The weighting named on the command line (none, sigma, inverse-y, inverse-y2, poisson).
std::optional<Weighting> weightingNamed(std::string_view name);
std::string weightingName(Weighting weighting);

/// The row scales of the groups, or why a group cannot be weighted so (1-based group number in
/// the sentence): sigma <= 0, y = 0 for 1/y and 1/y^2, a negative count for Poisson.
struct RowScales
{
    std::vector<double> scales;
    std::string error;
};
RowScales rowScales(Weighting weighting, std::span<const double> y, std::span<const double> sigma);

} // namespace quantem::equation
