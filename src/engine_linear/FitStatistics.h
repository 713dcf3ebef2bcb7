#pragma once

#include "engine_linear/NormalSystem.h"

#include <span>

namespace quantem::linear {

/// The perfect-fit tolerances of the two engines.
inline constexpr double kLinearPerfectFitTolerance = 1E-14;
inline constexpr double kPowerPerfectFitTolerance = 1E-05;

/// R, F and S of a fit, from its centred sums and solved coefficients.
struct RegressionTest
{
    double u = 0.0; // regression sum of squares
    double q = 0.0; // residual sum of squares
    double r = 0.0;
    double f = 0.0;
    double s = 0.0;
    bool perfect = false;
};

/// U = Σ ak·Lky, Q = Lyy − U, R = √|U/Lyy|; a perfect fit (Q exactly 0, U not 0, |R−1| within
/// tolerance) gives F = 1E+20 and S = 0, with R set to 1 when setROnPerfectFit; otherwise
/// F = (N − m)·((U/(m − 1))/Q) and S = √|Q/(N − m)|. coefficients are a0..an.
/// Throws Fault 11 for x/0, 6 for 0/0 or overflow.
RegressionTest computeRegressionTest(const CentredSums& sums, std::span<const double> coefficients,
    double tolerance, bool setROnPerfectFit);

/// The six test parameters of a fit.
struct FitStatistics
{
    double r = 0.0;
    double f = 0.0;
    double s = 0.0;
    double biggestError = 0.0;
    float meanError = 0.0f;
    double meanRelativeError = 0.0;
};

} // namespace quantem::linear
