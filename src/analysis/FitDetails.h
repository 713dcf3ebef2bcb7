#pragma once

#include "analysis/FitSnapshot.h"
#include "analysis/FitSummary.h"
#include "analysis/Refinement.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quantem::analysis {

/// The condition number of the scaled design above which the fit's normal equations may have
/// lost more than half of a double's digits. They square it (1E+3 here is 1E+6 there), and their
/// elimination without pivoting loses a few digits more than that alone: polynomials of degree 5
/// on x = 0..20 (condition 2.2E+3) keep only six correct digits, a straight line or a parabola
/// of condition below 20 keeps eleven and more.
inline constexpr double kConditionWarningLimit = 1E+3;

/// A refined fit and how it was reached.
struct RefinedDetails
{
    FitSummary summary;
    int iterations = 0;
    std::string stopReason;
    std::string start; // where the search that won began
};

/// One group's residuals: the published fit's, and the refined fit's when there is one.
struct ResidualRow
{
    int group = 0; // 1-based, file order
    std::vector<double> x; // x1..xv as the fit saw them
    double y = 0.0;
    double fitted = 0.0;
    double residual = 0.0; // y - fitted
    double relative = 0.0; // residual / fitted; NaN where the fitted value is 0
    std::optional<double> refinedFitted;
    std::optional<double> refinedResidual;
};

/// Everything the details of a fit show.
struct FitDetails
{
    FitSummary fit; // the published coefficients and exponents
    /// The stable solve's coefficients for the published exponents (for 51/52 the whole
    /// least-squares solution); no value when the design has no full rank.
    std::optional<FitSummary> stable;
    std::optional<RefinedDetails> refined; // no value until refined, or when it did not lower
    std::optional<std::string> refinementNote; // why a refinement was not accepted
    std::optional<std::string> warning;
    std::vector<ResidualRow> residuals;
};

/// How the conditioning warning begins.
inline constexpr std::string_view kConditioningWarningStart = "The fit is badly conditioned";

/// The plain sentence of the conditioning warning for a condition number, or no value below
/// the limit.
std::optional<std::string> conditioningWarning(double conditionNumber);

/// The statistics of the published fit and of the stable solve, the warning and the residuals.
FitDetails describe(const FitSnapshot& fit);

/// describe, with refinement's result added (the refined summary and residual columns when it
/// was accepted, a note otherwise).
FitDetails describe(const FitSnapshot& fit, const Refinement& refinement);

} // namespace quantem::analysis
