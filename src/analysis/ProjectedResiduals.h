#pragma once

#include "analysis/FitSnapshot.h"

#include <Eigen/Dense>
#include <atomic>
#include <span>
#include <unsupported/Eigen/LevenbergMarquardt>

namespace quantem::analysis {

/// Stands in for a residual that overflowed, so that a step into such a region counts as a
/// large increase and is refused, while the sum of squares stays finite.
constexpr double kOverflowResidual = 1e100;

/// The residuals fitted - y of a power model as a function of its exponents alone, the
/// coefficients solved for each set of exponents by least squares. Far fewer unknowns than the
/// whole model, and none of the long valleys in which a coefficient and an exponent trade off
/// against each other, so a search from a rough start ends at the right minimum much more often.
/// Its derivatives are exact: those of the design by the exponents, carried through the
/// coefficients' own change. One instance serves one search (it keeps its last point).
class ProjectedResiduals : public Eigen::DenseFunctor<double>
{
public:
    ProjectedResiduals(const FitSnapshot& fit, const std::atomic<bool>* cancel);

    int operator()(const InputType& exponents, ValueType& residuals) const;
    int df(const InputType& exponents, JacobianType& derivatives) const;

    /// The coefficients a0..ae for exponents; empty when the design is not of full rank or not
    /// finite.
    Eigen::VectorXd coefficientsFor(std::span<const double> exponents) const;

private:
    /// The solve at one set of exponents.
    struct Point
    {
        Eigen::VectorXd exponents;
        Eigen::MatrixXd design;
        Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr;
        Eigen::VectorXd coefficients; // empty when the design could not be solved
        Eigen::VectorXd residuals;
    };

    /// The point at exponents: the search asks for the derivatives where it last evaluated the
    /// residuals, so the last point is kept rather than solved again.
    const Point& pointAt(const InputType& exponents) const;

    const FitSnapshot& m_fit;
    const std::atomic<bool>* m_cancel;
    mutable Point m_last;
};

} // namespace quantem::analysis
