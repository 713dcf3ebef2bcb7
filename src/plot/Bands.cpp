#include "plot/Bands.h"

#include "analysis/ColumnScaling.h"
#include "analysis/FitSummary.h"

#include <cmath>
#include <limits>

namespace quantem::plot {

Eigen::MatrixXd covarianceFrom(
    std::span<const double> standardErrors, const Eigen::Ref<const Eigen::MatrixXd>& correlation)
{
    const Eigen::Map<const Eigen::VectorXd> se(
        standardErrors.data(), static_cast<Eigen::Index>(standardErrors.size()));
    return se.asDiagonal() * correlation * se.asDiagonal();
}

Eigen::MatrixXd covarianceOf(const Eigen::Ref<const Eigen::MatrixXd>& jacobian, double residualSd)
{
    const Eigen::Index p = jacobian.cols();
    const Eigen::VectorXd lengths = analysis::columnScales(jacobian);
    const Eigen::MatrixXd scaled = jacobian * lengths.cwiseInverse().asDiagonal();
    // BDCSVD, as for the fit's own standard errors: accurate for tall matrices, and its rank
    // test is the one those errors passed.
    const Eigen::BDCSVD<Eigen::MatrixXd> svd(scaled, Eigen::ComputeThinV);
    const Eigen::VectorXd& sigma = svd.singularValues();
    const double floor = sigma.size() == 0
        ? 0.0
        : sigma(0) * static_cast<double>(jacobian.rows()) * std::numeric_limits<double>::epsilon();
    if (p == 0 || jacobian.rows() < p || !(sigma(p - 1) > floor))
        return Eigen::MatrixXd::Constant(p, p, std::numeric_limits<double>::quiet_NaN());
    // (JᵀJ)⁻¹ = D⁻¹ V Σ⁻² Vᵀ D⁻¹, formed as half · halfᵀ so that it stays symmetric.
    const Eigen::MatrixXd half
        = lengths.cwiseInverse().asDiagonal() * svd.matrixV() * sigma.cwiseInverse().asDiagonal();
    return residualSd * residualSd * (half * half.transpose());
}

BandWidths bandHalfWidths(const Eigen::Ref<const Eigen::MatrixXd>& gradients,
    const Eigen::Ref<const Eigen::MatrixXd>& covariance, double residualSd, int dof)
{
    const double t = analysis::studentQuantile(0.975, dof);
    const double s2 = residualSd * residualSd;
    BandWidths widths;
    widths.confidence.reserve(static_cast<std::size_t>(gradients.rows()));
    widths.prediction.reserve(static_cast<std::size_t>(gradients.rows()));
    for (Eigen::Index i = 0; i < gradients.rows(); ++i) {
        const Eigen::RowVectorXd g = gradients.row(i);
        const double variance = g.dot(g * covariance);
        widths.confidence.push_back(t * std::sqrt(variance));
        widths.prediction.push_back(t * std::sqrt(s2 + variance));
    }
    return widths;
}

} // namespace quantem::plot
