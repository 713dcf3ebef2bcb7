#include "analysis/InformationCriteria.h"

#include <cmath>

namespace quantem::analysis {

InformationCriteria informationCriteria(double sse, int n, int p)
{
    InformationCriteria criteria;
    // A zero or non-finite sum of squares has no likelihood to compare.
    if (!(sse > 0.0) || !std::isfinite(sse) || n <= p)
        return criteria;
    const double groups = n;
    const double parameters = p;
    const double fit = groups * std::log(sse / groups);
    criteria.bic = fit + parameters * std::log(groups);
    if (n > p + 1)
        criteria.aicc = fit + 2.0 * parameters
            + 2.0 * parameters * (parameters + 1.0) / (groups - parameters - 1.0);
    return criteria;
}

} // namespace quantem::analysis
