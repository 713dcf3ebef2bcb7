#include "analysis/SnapshotResiduals.h"

#include "analysis/ModelDesign.h"

#include <algorithm>

namespace quantem::analysis {

const Eigen::MatrixXd& SnapshotResiduals::designAt(std::span<const double> exponents) const
{
    if (m_lastDesign.size() == 0
        || !std::equal(
            exponents.begin(), exponents.end(), m_lastExponents.begin(), m_lastExponents.end())) {
        m_lastExponents.assign(exponents.begin(), exponents.end());
        m_lastDesign = designMatrix(m_fit, exponents);
    }
    return m_lastDesign;
}

void SnapshotResiduals::evaluateRows(std::span<const double> p, Eigen::Index first,
    Eigen::Index count, double* r, double* jacobian, Eigen::Index ld) const
{
    const std::span<const double> coefficients = p.first(m_fit.coefficients.size());
    const std::span<const double> exponents = p.subspan(m_fit.coefficients.size());
    const Eigen::MatrixXd& design = designAt(exponents);
    Eigen::Map<Eigen::VectorXd>(r, count)
        = (fittedValues(design, coefficients) - m_fit.y).segment(first, count);
    if (jacobian == nullptr)
        return;
    Eigen::Map<Eigen::MatrixXd, 0, Eigen::OuterStride<>>(
        jacobian, count, parameterCount(), Eigen::OuterStride<>(ld))
        = analysis::jacobian(m_fit, design, coefficients, exponents).middleRows(first, count);
}

} // namespace quantem::analysis
