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

ProjectedResiduals::ProjectedResiduals(const FitSnapshot& fit, const std::atomic<bool>* cancel)
    : Eigen::DenseFunctor<double>(fit.exponentCount(), fit.groups())
    , m_fit(fit)
    , m_cancel(cancel)
{
}

const ProjectedResiduals::Point& ProjectedResiduals::pointAt(const InputType& exponents) const
{
    if (m_last.exponents.size() == exponents.size() && m_last.exponents == exponents)
        return m_last;
    m_last.exponents = exponents;
    m_last.design = designMatrix(m_fit, spanOf(exponents));
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

int ProjectedResiduals::operator()(const InputType& exponents, ValueType& residuals) const
{
    if (m_cancel != nullptr && m_cancel->load())
        return -1;
    const Point& point = pointAt(exponents);
    if (point.coefficients.size() == 0) {
        residuals.setConstant(m_fit.groups(), kOverflowResidual);
        return 0;
    }
    residuals = point.residuals;
    for (double& r : residuals)
        if (!std::isfinite(r))
            r = kOverflowResidual;
    return 0;
}

int ProjectedResiduals::df(const InputType& exponents, JacobianType& derivatives) const
{
    const Point& point = pointAt(exponents);
    const Eigen::Index e = exponents.size();
    if (point.coefficients.size() == 0) {
        derivatives.setZero(m_fit.groups(), e);
        return 0;
    }
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
    derivatives = point.qr.householderQ() * z;
    for (double& value : derivatives.reshaped())
        if (!std::isfinite(value))
            value = 0.0;
    return 0;
}

Eigen::VectorXd ProjectedResiduals::coefficientsFor(std::span<const double> exponents) const
{
    const Eigen::Map<const Eigen::VectorXd> k(
        exponents.data(), static_cast<Eigen::Index>(exponents.size()));
    return pointAt(k).coefficients;
}

} // namespace quantem::analysis
