#pragma once

#include "analysis/ResidualModel.h"
#include "equation/EquationFit.h"
#include "equation/TapeEvaluation.h"

#include <functional>
#include <tbb/enumerable_thread_specific.h>

namespace quantem::equation {

/// The weighted residuals s (formula - y) of an equation over its groups, for the driver.
class EquationResiduals : public analysis::ResidualModel
{
public:
    EquationResiduals(const Tape& tape, const EquationData& data, std::vector<double> scales);

    Eigen::Index residualCount() const override;
    int parameterCount() const override;
    void evaluateRows(std::span<const double> p, Eigen::Index first, Eigen::Index count, double* r,
        double* jacobian, Eigen::Index ld) const override;
    double dataScale() const override;

    /// The formula's unweighted values at p for every group.
    std::vector<double> values(std::span<const double> p) const;

private:
    const Tape& m_tape;
    const EquationData& m_data;
    std::vector<double> m_scales;
    double m_dataScale = 0.0;
    bool m_unweighted = false; // every scale 1: the residuals need no scaling
    mutable tbb::enumerable_thread_specific<BlockEvaluator> m_evaluators;
};

} // namespace quantem::equation
