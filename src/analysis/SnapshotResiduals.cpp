#include "analysis/SnapshotResiduals.h"

#include "analysis/ModelDesign.h"

namespace quantem::analysis {

void SnapshotResiduals::evaluateRows(std::span<const double> p, Eigen::Index first,
    Eigen::Index count, double* r, double* jacobian, Eigen::Index ld) const
{
    const std::span<const double> coefficients = p.first(m_fit.coefficients.size());
    const std::span<const double> exponents = p.subspan(m_fit.coefficients.size());
    const Eigen::MatrixXd design = designMatrix(m_fit, exponents);
    Eigen::Map<Eigen::VectorXd>(r, count)
        = (fittedValues(design, coefficients) - m_fit.y).segment(first, count);
    if (jacobian == nullptr)
        return;
    Eigen::Map<Eigen::MatrixXd, 0, Eigen::OuterStride<>>(
        jacobian, count, parameterCount(), Eigen::OuterStride<>(ld))
        = analysis::jacobian(m_fit, design, coefficients, exponents).middleRows(first, count);
}

} // namespace quantem::analysis
