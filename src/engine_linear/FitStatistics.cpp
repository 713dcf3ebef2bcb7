#include "engine_linear/FitStatistics.h"

#include "core/CheckedMath.h"

#include <cmath>

namespace quantem::linear {

using core::checkFinite;
using core::divide;

RegressionTest computeRegressionTest(const CentredSums& sums, std::span<const double> coefficients,
    double tolerance, bool setROnPerfectFit)
{
    RegressionTest test;
    for (std::size_t k = 1; k < coefficients.size(); ++k)
        test.u = checkFinite(test.u + checkFinite(coefficients[k] * sums.lky[k - 1]));
    test.q = checkFinite(sums.lyy - test.u);
    test.r = core::squareRoot(std::fabs(divide(test.u, sums.lyy)));
    // The perfect-fit branch needs Q to be exactly zero, not merely tiny.
    if (test.q == 0.0 && test.u != 0.0 && std::fabs(test.r - 1.0) <= tolerance) {
        test.perfect = true;
        if (setROnPerfectFit)
            test.r = 1.0;
        test.f = 1E+20;
        test.s = 0.0;
        return test;
    }
    const double m = static_cast<double>(coefficients.size());
    const double residualFreedom = sums.n - m;
    test.f = checkFinite(residualFreedom * divide(divide(test.u, m - 1.0), test.q));
    test.s = core::squareRoot(std::fabs(divide(test.q, residualFreedom)));
    return test;
}

} // namespace quantem::linear
