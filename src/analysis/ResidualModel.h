#pragma once

#include <Eigen/Dense>
#include <span>

namespace quantem::analysis {

/// Stands in for a residual that overflowed, so that a step into such a region counts as a
/// large increase and is refused, while the sum of squares stays finite.
constexpr double kOverflowResidual = 1e100;

/// The residuals of a least-squares problem (fitted minus observed, each row scaled by its
/// weight) in the user's parameters, fixed ones included.
class ResidualModel
{
public:
    virtual ~ResidualModel() = default;

    virtual Eigen::Index residualCount() const = 0;
    virtual int parameterCount() const = 0;
    /// The residuals of rows first .. first + count - 1 at p into r and, when jacobian is not
    /// null, their derivatives by every parameter, column-major with leading dimension ld. A
    /// domain error leaves a NaN or infinity there. Called from several threads at once, each
    /// with rows of its own, when the rows are separable; otherwise once for all rows.
    virtual void evaluateRows(std::span<const double> p, Eigen::Index first, Eigen::Index count,
        double* r, double* jacobian, Eigen::Index ld) const = 0;
    /// False when a row's residual depends on the other rows (coefficients solved over all of
    /// them) or is cheaper taken with all of them: the model is then evaluated in one call.
    virtual bool separableRows() const { return true; }
    /// The size of what the residuals are differences of (the norm of the weighted observations):
    /// the driver takes residuals at rounding level of it as zero.
    virtual double dataScale() const { return 0.0; }
};

} // namespace quantem::analysis
