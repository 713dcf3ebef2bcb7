#include "equation/EquationSamples.h"

#include "core/Fault.h"
#include "core/SampleData.h"
#include "core/ScratchStore.h"
#include "equation/PlainSampleText.h"

namespace quantem::equation {

namespace {

    /// The items of data.qtm: the first groups · groupSize when a count is asked for (the file
    /// is read no further), else all of them, on all cores when every item is a plain number.
    /// No value when data.qtm is missing or cannot be read (why in unreadable).
    std::optional<std::vector<double>> readItems(const core::ScratchStore& store,
        std::size_t groupSize, std::optional<std::size_t> groups, std::size_t& firstFault,
        std::string& unreadable)
    {
        try {
            if (!groups) {
                const std::optional<std::string> text
                    = store.backend().read(core::ScratchFile::Data);
                if (!text)
                    return std::nullopt;
                if (std::optional<std::vector<double>> plain = plainSampleItems(*text)) {
                    firstFault = plain->size();
                    return plain;
                }
            }
            const std::size_t limit = groups ? core::SampleData::itemsFor(
                                          static_cast<double>(*groups), static_cast<int>(groupSize))
                                             : core::SampleData::kAllItems;
            const std::optional<core::SampleData> data
                = core::SampleData::loadIfPresent(store, limit);
            if (!data)
                return std::nullopt;
            firstFault = data->storage().firstFault();
            const std::span<const double> values = data->storage().values();
            return std::vector<double>(values.begin(), values.end());
        } catch (const core::Fault& fault) {
            unreadable = "data.qtm cannot be read: " + core::faultDescription(fault.code());
            return std::nullopt;
        }
    }

} // namespace

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

EquationSamples readEquationSamples(const core::ScratchStore& store, int variables, bool withSigma,
    std::optional<std::size_t> groups)
{
    const std::size_t groupSize = static_cast<std::size_t>(variables) + (withSigma ? 2 : 1);
    std::string unreadable;
    std::size_t firstFault = 0;
    const std::optional<std::vector<double>> items
        = readItems(store, groupSize, groups, firstFault, unreadable);
    if (!items) {
        EquationSamples missing;
        missing.error = unreadable.empty() ? "there is no data.qtm in " + store.root().string()
                + ": start the desktop program or write the samples there first"
                                           : unreadable;
        return missing;
    }
    return equationSamples(*items, firstFault, variables, withSigma, groups);
}

} // namespace quantem::equation
