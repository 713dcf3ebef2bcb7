#include "analysis/FitSummary.h"

#include "analysis/ColumnScaling.h"
#include "analysis/InformationCriteria.h"

#include <cmath>
#include <limits>
#include <unsupported/Eigen/SpecialFunctions>

namespace quantem::analysis {

namespace {

    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

    double regularizedBeta(double a, double b, double x)
    {
        Eigen::Array<double, 1, 1> aa, bb, xx;
        aa << a;
        bb << b;
        xx << x;
        return Eigen::betainc(aa, bb, xx)(0);
    }

    /// The diagonal of (JᵀJ)⁻¹ from the singular values of J with columns of about unit length,
    /// which keeps badly scaled parameters (a coefficient of x^10 beside a0) from losing digits;
    /// NaN everywhere when J has no full column rank.
    Eigen::VectorXd inverseNormalDiagonal(const Eigen::Ref<const Eigen::MatrixXd>& j)
    {
        const Eigen::VectorXd lengths = columnScales(j);
        const Eigen::MatrixXd scaled = j * lengths.cwiseInverse().asDiagonal();
        // BDCSVD: the singular values are the condition's and the inverse's in one go, and it
        // stays accurate for the tall, narrow matrices of large fits.
        const Eigen::BDCSVD<Eigen::MatrixXd> svd(scaled, Eigen::ComputeThinV);
        const Eigen::VectorXd& sigma = svd.singularValues();
        const double floor
            = sigma(0) * static_cast<double>(j.rows()) * std::numeric_limits<double>::epsilon();
        if (sigma.size() == 0 || !(sigma(sigma.size() - 1) > floor))
            return Eigen::VectorXd::Constant(j.cols(), kNaN);
        const Eigen::MatrixXd weighted = svd.matrixV() * sigma.cwiseInverse().asDiagonal();
        return weighted.rowwise().squaredNorm().cwiseQuotient(lengths.cwiseAbs2());
    }

} // namespace

double scaledConditionNumber(const Eigen::Ref<const Eigen::MatrixXd>& matrix)
{
    if (matrix.cols() == 0 || matrix.rows() < matrix.cols())
        return std::numeric_limits<double>::infinity();
    // Unit-length columns exactly: the usual measure of collinearity, whatever the units.
    Eigen::VectorXd lengths = matrix.colwise().norm().transpose();
    if ((lengths.array() == 0.0).any())
        return std::numeric_limits<double>::infinity();
    const Eigen::MatrixXd scaled = matrix * lengths.cwiseInverse().asDiagonal();
    const Eigen::VectorXd sigma = Eigen::BDCSVD<Eigen::MatrixXd>(scaled).singularValues();
    const double smallest = sigma(sigma.size() - 1);
    if (!(smallest > 0.0))
        return std::numeric_limits<double>::infinity();
    return sigma(0) / smallest;
}

double studentTwoSidedP(double t, int dof)
{
    if (dof < 1 || std::isnan(t))
        return kNaN;
    if (std::isinf(t))
        return 0.0;
    const double nu = dof;
    return regularizedBeta(nu / 2.0, 0.5, nu / (nu + t * t));
}

double studentQuantile(double probability, int dof)
{
    if (dof < 1 || !(probability > 0.5 && probability < 1.0))
        return kNaN;
    // The two-sided p falls as t grows: halve the bracket until it is as narrow as a double
    // allows. The bracket grows first until it holds the quantile.
    const double target = 2.0 * (1.0 - probability);
    double low = 0.0;
    double high = 1.0;
    while (studentTwoSidedP(high, dof) > target)
        high *= 2.0;
    for (int step = 0;
         step < 200 && high - low > 4.0 * std::numeric_limits<double>::epsilon() * high; ++step) {
        const double middle = 0.5 * (low + high);
        if (studentTwoSidedP(middle, dof) > target)
            low = middle;
        else
            high = middle;
    }
    return 0.5 * (low + high);
}

FitSummary summarize(const SummaryInputs& in)
{
    FitSummary summary;
    const Eigen::Index n = in.y.size();
    const Eigen::VectorXd residuals = in.y - in.fitted;
    summary.sse = residuals.squaredNorm();
    summary.meanError = residuals.cwiseAbs().mean();
    summary.dof = static_cast<int>(n) - in.parameterCount;
    const double total = (in.y.array() - in.y.mean()).matrix().squaredNorm();
    summary.rSquared = 1.0 - summary.sse / total;
    summary.conditionNumber = scaledConditionNumber(in.design);
    const InformationCriteria criteria
        = informationCriteria(summary.sse, static_cast<int>(n), in.parameterCount);
    summary.aicc = criteria.aicc;
    summary.bic = criteria.bic;

    const bool hasDof = summary.dof > 0;
    const double variance = hasDof ? summary.sse / summary.dof : kNaN;
    summary.residualSd = std::sqrt(variance);
    summary.adjustedRSquared
        = hasDof ? 1.0 - (1.0 - summary.rSquared) * static_cast<double>(n - 1) / summary.dof : kNaN;

    const Eigen::VectorXd diagonal = inverseNormalDiagonal(in.jacobian);
    const double quantile = studentQuantile(0.975, summary.dof);
    for (std::size_t i = 0; i < in.values.size(); ++i) {
        ParameterEstimate estimate;
        estimate.name = in.names[i];
        estimate.value = in.values[i];
        estimate.standardError = std::sqrt(variance * diagonal(static_cast<Eigen::Index>(i)));
        estimate.ciLow = estimate.value - quantile * estimate.standardError;
        estimate.ciHigh = estimate.value + quantile * estimate.standardError;
        estimate.t = estimate.value / estimate.standardError;
        estimate.p = studentTwoSidedP(estimate.t, summary.dof);
        summary.parameters.push_back(estimate);
    }
    return summary;
}

} // namespace quantem::analysis
