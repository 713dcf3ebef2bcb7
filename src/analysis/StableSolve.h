#pragma once

#include <Eigen/Dense>
#include <vector>

namespace quantem::analysis {

/// The least-squares coefficients of y on the columns of design, solved without forming the
/// normal equations. Empty when design has no full column rank or holds a non-finite value.
std::vector<double> stableSolve(
    const Eigen::Ref<const Eigen::MatrixXd>& design, const Eigen::Ref<const Eigen::VectorXd>& y);

} // namespace quantem::analysis
