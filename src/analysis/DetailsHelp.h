#pragma once

#include <string>
#include <string_view>

namespace quantem::analysis {

/// The help page's section on the fit details window: what it shows and the formulas of its
/// statistics, as HTML.
std::string fitDetailsHelp();

/// Why the main window's S and the fit details' residual standard deviation differ, for the
/// tool tips where either is shown.
inline constexpr std::string_view kTwoResidualDeviations
    = "S in the main window is the root of Q / (N - m), where m counts the coefficients a0..ae. "
      "The residual standard deviation in Fit details is the root of SSE / (N - p), where p "
      "counts the coefficients and the exponents k1..kk too. For models with exponents the two "
      "differ although the fit is the same: only their degrees of freedom differ.";

} // namespace quantem::analysis
