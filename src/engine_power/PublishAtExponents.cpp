#include "engine_power/PublishAtExponents.h"

#include "core/CheckedMath.h"
#include "core/Fault.h"
#include "core/NumberText.h"
#include "core/SampleData.h"
#include "core/TermTable.h"
#include "engine_power/ExponentSearch.h"

#include <algorithm>
#include <optional>

namespace quantem::power {

EvaluationOutcome publishAtExponents(
    core::Session& session, core::ModelId model, std::span<const double> exponents)
{
    const core::ModelDescriptor* descriptor = core::findModel(model);
    if (descriptor == nullptr || core::groupSize(model) == 0 || descriptor->exponents == 0
        || exponents.size() != static_cast<std::size_t>(descriptor->exponents))
        return EvaluationOutcome::EndedSilently;
    const int k = descriptor->exponents;
    std::size_t items = core::SampleData::kAllItems;
    try {
        items = core::SampleData::itemsFor(
            std::max<int>(core::toInteger16(core::val(session.form1.Text2)), 1),
            core::groupSize(model));
    } catch (const core::Fault&) {
        // The evaluation meets the count itself and ends before the samples.
    }
    const std::optional<core::SampleData> samples
        = core::SampleData::loadIfPresent(session.store, items);
    const PowerRun run { session, samples ? &*samples : nullptr };

    // The evaluation works on the exponents without their offsets; publishing adds them back.
    ExponentSet shared {};
    for (int r = 1; r <= k; ++r)
        shared[static_cast<std::size_t>(r - 1)]
            = exponents[static_cast<std::size_t>(r - 1)] - core::exponentOffset(model, r);
    SearchIndex index = k + 1;
    session.form1.Label10 = kRunFinishedCaption;
    return powerEvaluation(run, shared[0], shared, index, k, model);
}

} // namespace quantem::power
