#include "equation/EquationSamples.h"

namespace quantem::equation {

EquationSamples equationSamples(std::span<const double> items, std::size_t firstFault,
    int variables, bool withSigma, std::optional<std::size_t> groups)
{
    EquationSamples result;
    const std::size_t size = static_cast<std::size_t>(variables) + (withSigma ? 2 : 1);
    const std::size_t complete = items.size() / size;
    const std::size_t count = groups.value_or(complete);
    const std::string sizeText = std::to_string(size) + " number" + (size == 1 ? "" : "s");
    if (count > complete) {
        result.error = "data.qtm holds " + std::to_string(complete) + " complete groups of "
            + sizeText + ", fewer than the " + std::to_string(count) + " asked for";
        return result;
    }
    const std::size_t used = count * size;
    if (firstFault < used) {
        const std::size_t item = firstFault;
        result.error = "item " + std::to_string(item + 1) + " of data.qtm (in group "
            + std::to_string(item / size + 1) + ") is not a number";
        return result;
    }
    if (!groups && items.size() > used) {
        const std::size_t left = items.size() - used;
        result.notice = "data.qtm ends with " + std::to_string(left) + " number"
            + (left == 1 ? "" : "s") + " after the last complete group of " + sizeText
            + "; left out";
    }
    const std::span<const double> values = items;
    result.data.variables.assign(static_cast<std::size_t>(variables), std::vector<double>(count));
    result.data.y.resize(count);
    if (withSigma)
        result.data.sigma.resize(count);
    for (std::size_t g = 0; g < count; ++g) {
        const double* group = values.data() + g * size;
        for (std::size_t v = 0; v < static_cast<std::size_t>(variables); ++v)
            result.data.variables[v][g] = group[v];
        result.data.y[g] = group[variables];
        if (withSigma)
            result.data.sigma[g] = group[variables + 1];
    }
    return result;
}

} // namespace quantem::equation
