#pragma once

#include "analysis/FitSnapshot.h"

#include <Eigen/Dense>
#include <span>
#include <string>
#include <vector>

namespace quantem::analysis {

/// The design matrix of a snapshot's model for the given exponents (published values, offsets
/// included): one row per group, the constant column, then the terms u1..ue (x1..xm for model
/// 51, x^1..x^m for model 52). Non-finite entries stay in the matrix for the caller to refuse.
Eigen::MatrixXd designMatrix(const FitSnapshot& fit, std::span<const double> exponents);

/// The model's values a0 + a1·u1 + … for every group.
Eigen::VectorXd fittedValues(
    const Eigen::Ref<const Eigen::MatrixXd>& design, std::span<const double> coefficients);

/// The derivatives of the fitted values by every parameter: a0..ae, then k1..kk. A term with a
/// power factor x^k changes with k as term·ln x, summed over the factors that carry k.
Eigen::MatrixXd jacobian(const FitSnapshot& fit, const Eigen::Ref<const Eigen::MatrixXd>& design,
    std::span<const double> coefficients, std::span<const double> exponents);

/// How the fitted values change with the exponents, in two parts for a model whose coefficients
/// are held (weighted) or left free (paired with residuals): weighted.col(r) is the derivative of
/// design·coefficients by k(r+1), and paired(u, r) is the derivative of column u of the design by
/// k(r+1), dotted with residuals.
struct ExponentDerivatives
{
    Eigen::MatrixXd weighted;
    Eigen::MatrixXd paired;
};

/// The two parts of ExponentDerivatives at design (the design matrix of exponents).
ExponentDerivatives exponentDerivatives(const FitSnapshot& fit,
    const Eigen::Ref<const Eigen::MatrixXd>& design, std::span<const double> coefficients,
    const Eigen::Ref<const Eigen::VectorXd>& residuals, int exponents);

/// The parameter names in Jacobian order: "a0".."ae", then "k1".."kk".
std::vector<std::string> parameterNames(int terms, int exponents);

} // namespace quantem::analysis
