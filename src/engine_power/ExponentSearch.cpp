#include "engine_power/ExponentSearch.h"

#include "core/CheckedMath.h"
#include "core/Fault.h"
#include "core/InputReasons.h"
#include "core/Notices.h"
#include "core/NumberText.h"
#include "engine_power/CriterionHandoff.h"
#include "engine_power/PowerEvaluation.h"
#include "engine_power/SearchCache.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <optional>

namespace quantem::power {

namespace {

    /// dF as the search uses it: the first number of rr.sys in single precision. A missing or
    /// unreadable file reads as 0.
    template <typename Read> float criterionChange(const Read& read)
    {
        double change = 0.0;
        try {
            change = read();
        } catch (const core::Fault&) {
            return 0.0f; // only possible before any evaluation has written the file
        }
        if (std::fabs(change) > static_cast<double>(FLT_MAX))
            return change > 0.0 ? std::numeric_limits<float>::infinity()
                                : -std::numeric_limits<float>::infinity();
        // Only the sign is used, and in single precision a change too small for a float counts
        // as 0.
        return static_cast<float>(change);
    }

    /// The items of data.qtm an evaluation reads: N groups, at least one.
    std::size_t itemsOfRun(const core::Form1& form, core::ModelId model)
    {
        try {
            const int n = core::toInteger16(core::val(form.Text2));
            return core::SampleData::itemsFor(std::max(n, 1), core::groupSize(model));
        } catch (const core::Fault&) {
            return core::SampleData::kAllItems; // every evaluation ends before the samples
        }
    }

} // namespace

float readCriterionChange(const core::ScratchStore& store)
{
    return criterionChange([&] { return store.readNumbers(core::ScratchFile::Rr, 1)[0]; });
}

void exponentSearch(core::Session& session, int exponentCount, core::ModelId model)
{
    exponentSearch(session, exponentCount, model, EvaluationObserver());
}

void exponentSearch(core::Session& session, int exponentCount, core::ModelId model,
    const EvaluationObserver& observer)
{
    core::Form1& form = session.form1;
    if (exponentCount < 0 || exponentCount > kMaxExponents || core::groupSize(model) == 0) {
        // A damaged xx.sys: no search (it has room for six exponents), and the user is told why.
        core::postNotice(form, core::NoticeKind::Reason,
            "sys/xx.sys names model " + std::to_string(model) + " with "
                + std::to_string(exponentCount)
                + " exponents, which no search can run: choose the model again from its menu.");
        if (form.Label10 == core::kRegressWaitCaption)
            form.Label10 = core::kStateCaption;
        return;
    }

    float s = 0.0f;
    try {
        s = startValue(form, model);
    } catch (const core::Fault&) {
        s = std::numeric_limits<float>::infinity(); // beyond the single range
    }
    if (!(std::fabs(s) <= kLargestStartValue)) {
        // The search could not end in any useful time: an input error before any evaluation.
        core::refuseInput(session, core::MessageWindowId::Form5, std::nullopt,
            core::reasons::powerInitialValue(form.Text4));
        return;
    }

    // The samples are read once, as far as an evaluation reads them; every evaluation takes its
    // groups from memory in file order. Without the file, each evaluation meets the missing
    // file as it opens it.
    const std::optional<core::SampleData> samples
        = core::SampleData::loadIfPresent(session.store, itemsOfRun(form, model));
    SearchCache cache;
    CriterionHandoff handoff(session.store);
    // However the search ends (a stop request thrown by the progress hook included), r1.sys and
    // rr.sys end as the last evaluation left them.
    const HandoffFlushGuard flushAtEnd(handoff);
    const PowerRun run { session, samples ? &*samples : nullptr, &cache, &handoff };

    ExponentSet exponents {};
    SearchIndex i = 1;
    double t = 0.0;
    auto evaluate = [&] {
        const EvaluationOutcome outcome
            = powerEvaluation(run, t, exponents, i, exponentCount, model);
        if (observer)
            observer(t, exponents, i, outcome);
        if (session.progress != nullptr)
            session.progress->progress(form);
    };
    auto changeOfLast = [&] { return criterionChange([&] { return handoff.lastChange(); }); };

    // The loop end is fixed when the loop starts; an evaluation that moves i to k + 1 ends the
    // run after the current pass, and every evaluation of that pass is then a final one.
    const int last = exponentCount + 1;
    for (i = 1; i <= last; ++i) {
        if (i == last)
            form.Label10 = kRunFinishedCaption;
        if (i < last) {
            t = static_cast<double>(s);
            evaluate();
            t = t - kExponentStep;
            evaluate();
            float dF = changeOfLast();
            if (dF > 0.0f) {
                // The first pass repeats s - 0.01, so its change is 0 and the loop goes on.
                t = static_cast<double>(s);
                do {
                    t = t - kExponentStep;
                    if (t == 0.0)
                        t = kZeroReplacement; // an exponent of 0 would duplicate the constant
                    evaluate();
                    dF = changeOfLast();
                } while (!(dF < 0.0f || t <= kLowerBound));
                t = t + kExponentStep;
            } else {
                t = static_cast<double>(s);
                do {
                    t = t + kExponentStep;
                    evaluate();
                    dF = changeOfLast();
                } while (!(dF < 0.0f || t >= kUpperBound));
                t = t - kExponentStep;
            }
        } else {
            evaluate(); // the final evaluation publishes
        }
    }
}

} // namespace quantem::power
