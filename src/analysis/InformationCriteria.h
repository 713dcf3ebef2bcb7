#pragma once

#include <optional>

namespace quantem::analysis {

/// Information criteria of a least-squares fit, for comparing models with different numbers of
/// parameters on the same groups. n groups, p fitted parameters (coefficients and exponents),
/// sse the sum of squared residuals. With a perfect fit (sse = 0) or too few groups there is no
/// value.
struct InformationCriteria
{
    std::optional<double> aicc; // n ln(sse/n) + 2p + 2p(p+1)/(n-p-1), needs n > p + 1
    std::optional<double> bic; // n ln(sse/n) + p ln(n), needs n > p
};

InformationCriteria informationCriteria(double sse, int n, int p);

} // namespace quantem::analysis
