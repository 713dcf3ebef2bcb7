#pragma once

#include <Eigen/Dense>
#include <span>
#include <vector>

namespace quantem::plot {

/// The covariance of the free parameters from their standard errors and correlation matrix:
/// C(i, j) = se(i) · se(j) · r(i, j).
Eigen::MatrixXd covarianceFrom(
    std::span<const double> standardErrors, const Eigen::Ref<const Eigen::MatrixXd>& correlation);

/// s² (JᵀJ)⁻¹ of a Jacobian by the parameters, through the singular values of J with columns of
/// about unit length (badly scaled parameters keep their digits); NaN everywhere when J has no
/// full column rank.
Eigen::MatrixXd covarianceOf(const Eigen::Ref<const Eigen::MatrixXd>& jacobian, double residualSd);

/// The half-widths of the 95 % bands of a model value at each point (delta method): with g the
/// point's row of gradients (derivatives by the free parameters) and t Student's 97.5 % quantile
/// of dof, the confidence half-width t·sqrt(gᵀCg) of the mean response and the prediction
/// half-width t·sqrt(s² + gᵀCg) of a new measurement. NaN where dof < 1 or C is not known.
struct BandWidths
{
    std::vector<double> confidence;
    std::vector<double> prediction;
};
BandWidths bandHalfWidths(const Eigen::Ref<const Eigen::MatrixXd>& gradients,
    const Eigen::Ref<const Eigen::MatrixXd>& covariance, double residualSd, int dof);

} // namespace quantem::plot
