#include "analysis/ProjectedResiduals.h"

#include "analysis/ModelDesign.h"

#include <cmath>

namespace quantem::analysis {

namespace {

    std::span<const double> spanOf(const Eigen::VectorXd& v)
    {
        return { v.data(), static_cast<std::size_t>(v.size()) };
    }

} // namespace

ProjectedResiduals::ProjectedResiduals(const FitSnapshot& fit)
    : m_fit(fit)
{
}

const ProjectedResiduals::Point& ProjectedResiduals::pointAt(
    std::span<const double> exponents) const
{
    const Eigen::Map<const Eigen::VectorXd> k(
        exponents.data(), static_cast<Eigen::Index>(exponents.size()));
    if (m_last.exponents.size() == k.size() && m_last.exponents == k)
        return m_last;
    m_last.exponents = k;
    m_last.design = designMatrix(m_fit, exponents);
    m_last.coefficients.resize(0);
    if (!m_last.design.allFinite())
        return m_last;
    m_last.qr.compute(m_last.design);
    if (m_last.qr.rank() < m_last.design.cols())
        return m_last;
    m_last.coefficients = m_last.qr.solve(m_fit.y);
    m_last.residuals = m_last.design * m_last.coefficients - m_fit.y;
    return m_last;
}

Eigen::MatrixXd ProjectedResiduals::derivativesAt(const Point& point) const
{
    const Eigen::Index e = point.exponents.size();
    if (point.coefficients.size() == 0)
        return Eigen::MatrixXd::Zero(m_fit.groups(), e);
    // With design·P = Q·R and r the residuals, the residuals change with exponent j as
    // (I - Q1·Q1ᵀ)·(dD/dkj)·a - Q1·R⁻ᵀ·Pᵀ·(dD/dkj)ᵀ·r: the design's own change with the
    // coefficients held, less what the coefficients' re-solve takes back. Both as one product
    // with Q: the top rows carry the second part, the rest the first.
    const ExponentDerivatives d = exponentDerivatives(
        m_fit, point.design, spanOf(point.coefficients), point.residuals, static_cast<int>(e));
    const Eigen::Index p = point.design.cols();
    const auto r = point.qr.matrixR().topLeftCorner(p, p).triangularView<Eigen::Upper>();
    Eigen::MatrixXd z = point.qr.householderQ().adjoint() * d.weighted;
    z.topRows(p) = -r.transpose().solve(point.qr.colsPermutation().transpose() * d.paired);
    Eigen::MatrixXd derivatives = point.qr.householderQ() * z;
    for (double& value : derivatives.reshaped())
        if (!std::isfinite(value))
            value = 0.0;
    return derivatives;
}

void ProjectedResiduals::evaluateRows(std::span<const double> exponents, Eigen::Index first,
    Eigen::Index count, double* r, double* jacobian, Eigen::Index ld) const
{
    const Point& point = pointAt(exponents);
    Eigen::Map<Eigen::VectorXd> residuals(r, count);
    if (point.coefficients.size() == 0) {
        residuals.setConstant(kOverflowResidual);
    } else {
        residuals = point.residuals.segment(first, count);
        for (double& value : residuals)
            if (!std::isfinite(value))
                value = kOverflowResidual;
    }
    if (jacobian == nullptr)
        return;
    Eigen::Map<Eigen::MatrixXd, 0, Eigen::OuterStride<>> rows(
        jacobian, count, point.exponents.size(), Eigen::OuterStride<>(ld));
    rows = derivativesAt(point).middleRows(first, count);
}

Eigen::VectorXd ProjectedResiduals::coefficientsFor(std::span<const double> exponents) const
{
    return pointAt(exponents).coefficients;
}

} // namespace quantem::analysis
