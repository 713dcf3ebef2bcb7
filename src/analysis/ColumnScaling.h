#pragma once

#include <Eigen/Dense>

namespace quantem::analysis {

/// For each column of matrix the power of two nearest its length (1 for a column of zeros).
/// Dividing by a power of two is exact, so the scaled matrix is the same problem in other units
/// and no rounding of the data is added to it.
Eigen::VectorXd columnScales(const Eigen::Ref<const Eigen::MatrixXd>& matrix);

} // namespace quantem::analysis
