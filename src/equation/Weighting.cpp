#include "equation/Weighting.h"

#include "equation/NumberWords.h"

#include <cmath>

namespace quantem::equation {

namespace {

    struct Named
    {
        Weighting weighting;
        const char* name;
    };
    // clang-format off
    constexpr Named kNames[] {
        { Weighting::None, "none" }, { Weighting::Sigma, "sigma" },
        { Weighting::InverseY, "inverse-y" }, { Weighting::InverseY2, "inverse-y2" },
        { Weighting::Poisson, "poisson" },
    };
    // clang-format on

    std::string groupText(std::size_t i) { return "group " + std::to_string(i + 1); }

} // namespace

std::optional<Weighting> weightingNamed(std::string_view name)
{
    for (const Named& named : kNames)
        if (name == named.name)
            return named.weighting;
    return std::nullopt;
}

std::string weightingName(Weighting weighting)
{
    for (const Named& named : kNames)
        if (named.weighting == weighting)
            return named.name;
    return "none";
}

RowScales rowScales(Weighting weighting, std::span<const double> y, std::span<const double> sigma)
{
    RowScales result;
    result.scales.assign(y.size(), 1.0);
    for (std::size_t i = 0; i < y.size(); ++i) {
        double& s = result.scales[i];
        switch (weighting) {
        case Weighting::None:
            break;
        case Weighting::Sigma:
            if (!(sigma[i] > 0.0)) {
                result.error = groupText(i) + " has sigma " + numberWords(sigma[i])
                    + ": a sigma must be above 0";
                return result;
            }
            s = 1.0 / sigma[i];
            break;
        case Weighting::InverseY:
        case Weighting::InverseY2:
            // y = 0 is compared exactly: only a zero has no weight 1/y.
            if (y[i] == 0.0) {
                result.error = groupText(i) + " has y = 0, which a weight of 1/y"
                    + std::string(weighting == Weighting::InverseY2 ? "^2" : "") + " cannot take";
                return result;
            }
            s = weighting == Weighting::InverseY ? 1.0 / std::sqrt(std::abs(y[i]))
                                                 : 1.0 / std::abs(y[i]);
            break;
        case Weighting::Poisson:
            if (y[i] < 0.0) {
                result.error = groupText(i) + " has a negative y, which as a count cannot be";
                return result;
            }
            s = 1.0 / std::sqrt(std::max(y[i], 1.0));
            break;
        }
    }
    return result;
}

} // namespace quantem::equation
