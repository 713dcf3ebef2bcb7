#pragma once

#include <Eigen/Dense>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quantem::analysis {

/// One fitted parameter with its uncertainty. standardError, the interval, t and p are NaN when
/// the fit leaves no degrees of freedom or the parameter cannot be told apart from the others.
struct ParameterEstimate
{
    std::string name; // "a0".."a6", "k1".."k6"
    double value = 0.0;
    double standardError = 0.0;
    double ciLow = 0.0; // 95 % interval, Student t with dof degrees of freedom
    double ciHigh = 0.0;
    double t = 0.0; // value / standardError
    double p = 0.0; // two-sided
};

/// The statistics of one set of parameters on a snapshot's groups.
struct FitSummary
{
    std::vector<ParameterEstimate> parameters;
    double sse = 0.0; // sum of squared residuals
    double residualSd = 0.0; // sqrt(sse / dof), the RMSE
    double meanError = 0.0; // mean |residual|
    double rSquared = 0.0; // 1 - sse / Σ(y - ȳ)²
    double adjustedRSquared = 0.0; // 1 - (1 - R²)(N - 1) / dof
    std::optional<double> aicc;
    std::optional<double> bic;
    int dof = 0; // N - p, p counting coefficients and exponents
    double conditionNumber = 0.0; // of the design with unit-length columns
};

/// The inputs of a summary. jacobian holds the derivatives of the fitted values by the reported
/// parameters (their standard errors come from it); design is the linear design whose condition
/// is reported; parameterCount is what the degrees of freedom and the criteria count (it may
/// exceed jacobian's columns when exponents were fitted but are held here).
struct SummaryInputs
{
    Eigen::Ref<const Eigen::MatrixXd> jacobian;
    Eigen::Ref<const Eigen::MatrixXd> design;
    Eigen::Ref<const Eigen::VectorXd> y;
    Eigen::Ref<const Eigen::VectorXd> fitted;
    std::span<const std::string> names;
    std::span<const double> values;
    int parameterCount;
};

/// Standard errors from s²·(JᵀJ)⁻¹ with s² = sse / dof, intervals, t, p, the goodness of fit and
/// the criteria.
FitSummary summarize(const SummaryInputs& in);

/// The condition number (largest over smallest singular value) of matrix with its columns scaled
/// to unit length; infinity when a column or the matrix is singular.
double scaledConditionNumber(const Eigen::Ref<const Eigen::MatrixXd>& matrix);

/// The two-sided p of Student's t with dof degrees of freedom.
double studentTwoSidedP(double t, int dof);

/// The t with P(T <= t) = probability for dof degrees of freedom (probability in (0.5, 1)).
double studentQuantile(double probability, int dof);

} // namespace quantem::analysis
