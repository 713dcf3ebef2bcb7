#pragma once

#include "analysis/ParameterTransform.h"
#include "analysis/ResidualModel.h"

#include <Eigen/Dense>

namespace quantem::analysis {

/// A least-squares problem linearised at one point: residuals f and Jacobian J whose
/// ||f + J d|| equals that of the whole problem for every step d. For many rows they are the
/// compressed form: [J f] reduced by Householder QR to n + 1 rows, so no solver step ever
/// touches or stores every row.
struct Linearization
{
    Eigen::VectorXd f;
    Eigen::MatrixXd jacobian; // by the free parameters
    double sse = 0.0;
    bool finite = true; // false: a residual was not finite (a domain error or overflow)
};

/// How the Jacobian's columns are taken: by the solver's free vector (the transform's slopes
/// applied) or by the user's free parameters (for standard errors at the solution).
enum class Derivatives
{
    ByFreeVector,
    ByUserParameters
};

/// Rows above which the linearization is compressed.
inline constexpr Eigen::Index kCompressAbove = 4096;

/// Evaluates model at the free vector u. Rows are evaluated in fixed blocks on all cores (a
/// model that is not separable by rows in one call first, its blocks then taken from that);
/// each block's result lands in its own place and blocks are combined in block order, so one
/// thread and many give the same bits.
Linearization linearize(const ResidualModel& model, const ParameterTransform& transform,
    const Eigen::Ref<const Eigen::VectorXd>& u, Derivatives derivatives);

/// The residuals alone at u, for a trial step: all of them (f) when the problem is not
/// compressed, else only their sum of squares; taken in block order like linearize.
struct ResidualValues
{
    Eigen::VectorXd f;
    double sse = 0.0;
    bool finite = true;
};
ResidualValues residualValues(const ResidualModel& model, const ParameterTransform& transform,
    const Eigen::Ref<const Eigen::VectorXd>& u);

/// The residual count of the linearised problem: the model's rows, or n + 1 when compressed.
Eigen::Index linearizedRows(const ResidualModel& model, int freeCount);

} // namespace quantem::analysis
