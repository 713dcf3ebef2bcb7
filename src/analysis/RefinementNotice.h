#pragma once

#include "analysis/Refinement.h"

#include <optional>
#include <string>
#include <string_view>

namespace quantem::analysis {

/// A refined sum of squares below this share of the published one is worth telling the user:
/// the published fit is then far from the least-squares optimum, not merely short of its last
/// digits.
inline constexpr double kMuchBetterShare = 0.8;

/// How the notice of a much better optimum begins.
inline constexpr std::string_view kMuchBetterStart = "The least-squares optimum fits much better";

/// A sum of squares as the notices show it: six significant digits.
std::string sumOfSquaresText(double value);

/// The sentence that says the refinement reached a sum of squares below kMuchBetterShare of the
/// published fit's, with both sums and where to use it; no value otherwise.
std::optional<std::string> muchBetterNotice(const Refinement& refinement);

} // namespace quantem::analysis
