#include "analysis/RefinementNotice.h"

#include <cmath>
#include <cstdio>

namespace quantem::analysis {

std::string sumOfSquaresText(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6G", value);
    return buffer;
}

std::optional<std::string> muchBetterNotice(const Refinement& refinement)
{
    if (!refinement.accepted || !std::isfinite(refinement.startSse)
        || !(refinement.sse < kMuchBetterShare * refinement.startSse))
        return std::nullopt;
    return std::string(kMuchBetterStart) + ": sum of squares " + sumOfSquaresText(refinement.sse)
        + " against " + sumOfSquaresText(refinement.startSse) + " (FitDetails: Use refined fit).";
}

} // namespace quantem::analysis
