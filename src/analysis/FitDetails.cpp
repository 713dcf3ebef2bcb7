#include "analysis/FitDetails.h"

#include "analysis/ModelDesign.h"
#include "analysis/StableSolve.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace quantem::analysis {

namespace {

    /// The summary of coefficients and exponents on the snapshot's groups, every parameter with
    /// its standard error.
    FitSummary summarizeAll(const FitSnapshot& fit, std::span<const double> coefficients,
        std::span<const double> exponents, Eigen::VectorXd& fitted)
    {
        const Eigen::MatrixXd design = designMatrix(fit, exponents);
        fitted = fittedValues(design, coefficients);
        const Eigen::MatrixXd j = jacobian(fit, design, coefficients, exponents);
        std::vector<double> values(coefficients.begin(), coefficients.end());
        values.insert(values.end(), exponents.begin(), exponents.end());
        const std::vector<std::string> names
            = parameterNames(fit.terms, static_cast<int>(exponents.size()));
        return summarize(
            { j, design, fit.y, fitted, names, values, static_cast<int>(values.size()) });
    }

    /// The stable solve at the published exponents: its coefficients with errors that hold the
    /// exponents fixed, while the degrees of freedom still count them as fitted.
    std::optional<FitSummary> summarizeStable(const FitSnapshot& fit)
    {
        const Eigen::MatrixXd design = designMatrix(fit, fit.exponents);
        const std::vector<double> coefficients = stableSolve(design, fit.y);
        if (coefficients.empty())
            return std::nullopt;
        const Eigen::VectorXd fitted = fittedValues(design, coefficients);
        const std::vector<std::string> names = parameterNames(fit.terms, 0);
        return summarize(
            { design, design, fit.y, fitted, names, coefficients, fit.parameterCount() });
    }

    std::vector<ResidualRow> residualRows(const FitSnapshot& fit, const Eigen::VectorXd& fitted)
    {
        std::vector<ResidualRow> rows;
        rows.reserve(static_cast<std::size_t>(fit.groups()));
        for (Eigen::Index i = 0; i < fit.y.size(); ++i) {
            ResidualRow row;
            row.group = static_cast<int>(i) + 1;
            row.x.assign(fit.x.row(i).begin(), fit.x.row(i).end());
            row.y = fit.y(i);
            row.fitted = fitted(i);
            row.residual = row.y - row.fitted;
            row.relative = row.fitted == 0.0 ? std::numeric_limits<double>::quiet_NaN()
                                             : row.residual / row.fitted;
            rows.push_back(std::move(row));
        }
        return rows;
    }

} // namespace

std::optional<std::string> conditioningWarning(double conditionNumber)
{
    if (!(conditionNumber > kConditionWarningLimit))
        return std::nullopt;
    // Three digits say how far above the limit it lies; more would suggest a precision it lacks.
    char number[32] = "infinite";
    if (std::isfinite(conditionNumber))
        std::snprintf(number, sizeof number, "%.3G", conditionNumber);
    return std::string(kConditioningWarningStart) + " (condition number " + std::string(number)
        + "): its coefficients may have lost more than half of their digits. See Fit details.";
}

FitDetails describe(const FitSnapshot& fit)
{
    FitDetails details;
    Eigen::VectorXd fitted;
    details.fit = summarizeAll(fit, fit.coefficients, fit.exponents, fitted);
    details.stable = summarizeStable(fit);
    details.warning = conditioningWarning(details.fit.conditionNumber);
    details.residuals = residualRows(fit, fitted);
    return details;
}

FitDetails describe(const FitSnapshot& fit, const Refinement& refinement)
{
    FitDetails details = describe(fit);
    if (!refinement.accepted) {
        details.refinementNote = "Refinement kept the published fit (" + refinement.stopReason
            + "; no lower sum of squares).";
        return details;
    }
    Eigen::VectorXd fitted;
    RefinedDetails refined;
    refined.summary = summarizeAll(fit, refinement.coefficients, refinement.exponents, fitted);
    refined.iterations = refinement.iterations;
    refined.stopReason = refinement.stopReason;
    refined.start = refinement.start;
    details.refined = std::move(refined);
    for (std::size_t i = 0; i < details.residuals.size(); ++i) {
        ResidualRow& row = details.residuals[i];
        row.refinedFitted = fitted(static_cast<Eigen::Index>(i));
        row.refinedResidual = row.y - *row.refinedFitted;
    }
    return details;
}

} // namespace quantem::analysis
