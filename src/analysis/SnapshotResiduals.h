#pragma once

#include "analysis/FitSnapshot.h"
#include "analysis/ResidualModel.h"

#include <span>
#include <vector>

namespace quantem::analysis {

/// The residuals fitted - y of a snapshot's model in all its parameters (a0..ae, then k1..kk),
/// with the exact derivatives of the model's design. Not separable by rows: the design is formed
/// a whole column at a time, which is what makes it cheap. A non-finite design value leaves a
/// non-finite residual for the driver to refuse.
class SnapshotResiduals final : public ResidualModel
{
public:
    explicit SnapshotResiduals(const FitSnapshot& fit)
        : m_fit(fit)
    {
    }

    Eigen::Index residualCount() const override { return m_fit.groups(); }
    int parameterCount() const override { return m_fit.parameterCount(); }
    void evaluateRows(std::span<const double> p, Eigen::Index first, Eigen::Index count, double* r,
        double* jacobian, Eigen::Index ld) const override;
    bool separableRows() const override { return false; }
    double dataScale() const override { return m_fit.y.norm(); }

private:
    /// The design at exponents: the driver takes the residuals and then the derivatives at the
    /// same point, so the last design is kept rather than formed again.
    const Eigen::MatrixXd& designAt(std::span<const double> exponents) const;

    const FitSnapshot& m_fit;
    mutable std::vector<double> m_lastExponents;
    mutable Eigen::MatrixXd m_lastDesign;
};

} // namespace quantem::analysis
