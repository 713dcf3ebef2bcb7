#pragma once

#include "analysis/ParameterTransform.h"
#include "analysis/ResidualModel.h"

#include <Eigen/Dense>
#include <atomic>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace quantem::analysis {

/// Hooks of a long fit: progress is called after every iteration with the iterations so far; a
/// fit whose cancel flag is set, or whose stop hook says so, stops before its next evaluation.
/// evaluationLimit caps the evaluations of the whole fit (0: the driver's own cap).
struct DriverControl
{
    std::function<void(int iteration)> progress;
    const std::atomic<bool>* cancel = nullptr;
    std::function<bool()> stopRequested;
    int evaluationLimit = 0;
    /// The initial step bounds (Levenberg-Marquardt's factor) the solver starts from, in turn.
    std::vector<double> stepBounds = { 100.0, 1.0, 0.01 };
    /// Whether the lowest end is run again with a fresh trust region.
    bool restart = true;
    /// The solver's relative tolerance on the change of the parameters and of the sum of
    /// squares; the polish takes the last digits either way. 0: 1E-10 where a run costs little,
    /// so that hard starts are followed far, else 1.5E-8.
    double tolerance = 0.0;
};

/// Where a fit ended.
struct DriverResult
{
    Eigen::VectorXd parameters; // every user parameter, fixed ones at their values
    std::vector<bool> atBound; // per user parameter
    /// The Jacobian of the residuals by the free user parameters at the end (possibly in the
    /// compressed form, which has the same singular values), for standard errors.
    Eigen::MatrixXd jacobian;
    double sse = 0.0;
    int iterations = 0;
    int evaluations = 0;
    bool converged = false;
    bool cancelled = false;
    bool finiteStart = true; // false: the residuals are not finite at the start values
    std::string stopReason; // in words
    std::string hint; // what to try, when the fit did not converge
};

/// Minimises the sum of squared residuals of model from the setup's start values: Levenberg-
/// Marquardt on the exact Jacobian, from more than one initial step bound, the best end
/// restarted, then Gauss-Newton steps (pivoted QR) accepted while they contract, which take the
/// last digits that the trust region leaves. A step into a domain error is refused, never the
/// end of the fit. Converged means that the end is a stationary point to the resolution of the
/// residuals. Never throws.
DriverResult fitLeastSquares(const ResidualModel& model, std::span<const ParameterSetup> setup,
    const DriverControl& control = {});

} // namespace quantem::analysis
