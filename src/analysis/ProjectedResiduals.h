#pragma once

#include "analysis/FitSnapshot.h"
#include "analysis/ResidualModel.h"

#include <Eigen/Dense>
#include <span>

namespace quantem::analysis {

/// The residuals fitted - y of a power model as a function of its exponents alone, the
/// coefficients solved for each set of exponents by least squares. Far fewer unknowns than the
/// whole model, and none of the long valleys in which a coefficient and an exponent trade off
/// against each other, so a search from a rough start ends at the right minimum much more often.
/// Its derivatives are exact: those of the design by the exponents, carried through the
/// coefficients' own change. Where the design has no full rank every residual is
/// kOverflowResidual and every derivative 0. Not separable by rows (the coefficients are solved
/// over all of them); one instance serves one search (it keeps its last point).
class ProjectedResiduals final : public ResidualModel
{
public:
    explicit ProjectedResiduals(const FitSnapshot& fit);

    Eigen::Index residualCount() const override { return m_fit.groups(); }
    int parameterCount() const override { return m_fit.exponentCount(); }
    void evaluateRows(std::span<const double> exponents, Eigen::Index first, Eigen::Index count,
        double* r, double* jacobian, Eigen::Index ld) const override;
    bool separableRows() const override { return false; }
    double dataScale() const override { return m_fit.y.norm(); }

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

    /// The point at exponents: the coefficients are asked for after the search at its end, so
    /// the last point is kept rather than solved again.
    const Point& pointAt(std::span<const double> exponents) const;
    /// The derivatives of every residual by every exponent at point.
    Eigen::MatrixXd derivativesAt(const Point& point) const;

    const FitSnapshot& m_fit;
    mutable Point m_last;
};

} // namespace quantem::analysis
