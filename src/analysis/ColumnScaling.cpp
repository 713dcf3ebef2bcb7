#include "analysis/ColumnScaling.h"

#include <cmath>

namespace quantem::analysis {

Eigen::VectorXd columnScales(const Eigen::Ref<const Eigen::MatrixXd>& matrix)
{
    return matrix.colwise().norm().transpose().unaryExpr([](double length) {
        return length > 0.0 && std::isfinite(length) ? std::exp2(std::round(std::log2(length)))
                                                     : 1.0;
    });
}

} // namespace quantem::analysis
