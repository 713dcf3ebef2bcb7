#include "engine_power/PowerEvaluation.h"

#include "core/CheckedMath.h"
#include "core/Fault.h"
#include "core/NumberText.h"
#include "core/TermTable.h"
#include "engine_linear/FitStatistics.h"
#include "engine_linear/LinearFamilyFit.h"
#include "engine_linear/NormalSystem.h"
#include "engine_power/CriterionHandoff.h"
#include "engine_power/PublishPowerResult.h"
#include "engine_power/SearchCache.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace quantem::power {

using core::Fault;
using core::FaultCode;
using core::MessageWindowId;
using core::ScratchFile;

namespace {

    using Inputs = EvaluationInputs;

    Inputs readInputs(const core::Session& session, core::ModelId model)
    {
        Inputs in;
        in.n = core::toInteger16(core::val(session.form1.Text2));
        in.e = core::toInteger16(core::val(session.form1.Text3));
        in.s = startValue(session.form1, model);
        const std::vector<double> offsets = session.store.readNumbers(ScratchFile::Culi, 4);
        in.c1 = offsets[0];
        in.c2 = offsets[1];
        in.c3 = offsets[2];
        in.c4 = core::toInteger16(offsets[3]); // the fourth offset is kept as a 16-bit integer
        return in;
    }

    /// One group after its offsets and nudges: the variables the model has, and y.
    struct Group
    {
        double x1 = 0.0;
        double x2 = 0.0;
        double x3 = 0.0;
        double y = 0.0;
    };

    Group readGroup(core::RecordReader& reader, int size, const Inputs& in)
    {
        using core::add;
        using core::subtract;
        Group g;
        if (size == 2) {
            g.x1 = reader.readNumber();
            g.y = reader.readNumber();
            g.x1 = add(g.x1, in.c1);
            g.y = add(g.y, in.c2);
            return g;
        }
        if (size == 3) {
            g.x1 = reader.readNumber();
            g.x2 = reader.readNumber();
            g.y = reader.readNumber();
            g.x1 = add(g.x1, in.c1);
            g.x2 = add(g.x2, in.c2);
            g.y = add(g.y, in.c3);
            // Equal neighbours are pulled apart; all differences are taken before any change.
            const double d1 = subtract(g.x1, g.x2);
            const double d2 = subtract(g.x2, g.y);
            const double d3 = subtract(g.y, g.x1);
            if (d1 == 0.0)
                g.x1 = g.x2 + 1E-16;
            if (d2 == 0.0)
                g.x2 = g.y + 2E-16;
            if (d3 == 0.0)
                g.y = g.x1 - 1E-16;
            return g;
        }
        g.x1 = reader.readNumber();
        g.x2 = reader.readNumber();
        g.x3 = reader.readNumber();
        const float yRead = core::toSingle(reader.readNumber()); // y of four numbers is single
        g.x1 = add(g.x1, in.c1);
        g.x2 = add(g.x2, in.c2);
        g.x3 = add(g.x3, in.c3);
        // A sum of two singles, rounded once to single.
        g.y = core::toSingle(static_cast<double>(static_cast<float>(in.c4) + yRead));
        const double d1 = subtract(g.x1, g.x2);
        const double d2 = subtract(g.x2, g.x3);
        const double d3 = subtract(g.x3, g.y);
        const double d4 = subtract(g.y, g.x1);
        const double d5 = subtract(g.x1, g.x3);
        const double d6 = subtract(g.x2, g.y);
        if (d1 == 0.0)
            g.x1 = g.x2 + 1E-16;
        if (d2 == 0.0)
            g.x2 = g.x3 + 2E-16;
        if (d3 == 0.0)
            g.x3 = g.y + 3E-16;
        if (d4 == 0.0)
            g.y = core::toSingle(g.x1 - 1E-16);
        if (d5 == 0.0)
            g.x1 = g.x3 - 2E-16;
        if (d6 == 0.0)
            g.x2 = g.y - 3E-16;
        return g;
    }

    /// The sample checks: every model refuses zero and negative variables and y = 0.
    bool refused(int size, const Group& g)
    {
        if (size == 2 && g.x1 == 0.0)
            return true;
        if (size == 3 && (g.x1 == 0.0 || g.x2 == 0.0))
            return true;
        if (size == 4 && (g.x1 == 0.0 || g.x2 == 0.0 || g.x3 == 0.0))
            return true;
        if (size == 2 && g.x1 < 0.0)
            return true;
        if (size == 3 && (g.x1 < 0.0 || g.x2 < 0.0))
            return true;
        if (size == 4 && (g.x1 < 0.0 || g.x2 < 0.0 || g.x3 < 0.0))
            return true;
        return g.y == 0.0;
    }

    void setExponents(ExponentSet& exponents, double t, float s, SearchIndex index, int k)
    {
        if (k == 1) {
            exponents[0] = t; // the final evaluation too: it fits with the stepped-back candidate
            return;
        }
        if (k >= 2 && index >= 1 && index <= k) {
            exponents[static_cast<std::size_t>(index - 1)] = t;
            for (int r = index + 1; r <= k; ++r)
                exponents[static_cast<std::size_t>(r - 1)] = static_cast<double>(s);
        }
    }

    bool isModelChoiceFault(const Fault& fault)
    {
        return fault.code() == FaultCode::InvalidArgument || fault.code() == FaultCode::Overflow;
    }

} // namespace

float startValue(const core::Form1& form, core::ModelId model)
{
    // The models without exponents (1-6, 8, 9) start from 1 whatever Text4 holds.
    const core::ModelDescriptor* descriptor = core::findModel(model);
    if (descriptor != nullptr && descriptor->exponents == 0)
        return 1.0f;
    return core::toSingle(core::val(form.Text4));
}

namespace {

    /// Reads the groups an evaluation reads, once for the whole search: each with its offsets
    /// and nudges, up to the first that fails to read, to compute or to pass the sample checks.
    void prepareGroups(SearchCache& cache, const core::SampleData* samples, int size)
    {
        const Inputs& in = cache.inputs;
        cache.prepared = true;
        cache.groupsToRead = std::max(in.n, 1); // the count is tested after each group
        PreparedGroups& groups = cache.groups;
        groups.singleY = size == 4;
        try {
            if (samples == nullptr)
                throw Fault(FaultCode::FileNotFound);
            core::RecordReader reader = samples->reader();
            for (int g = 0; g < cache.groupsToRead; ++g) {
                const Group group = readGroup(reader, size, in);
                if (refused(size, group)) {
                    cache.failure = EvaluationOutcome::InputError;
                    return;
                }
                groups.x1.push_back(group.x1);
                groups.x2.push_back(group.x2);
                groups.x3.push_back(group.x3);
                groups.y.push_back(group.y);
            }
        } catch (const Fault& fault) {
            // A sample file that cannot be read as groups is bad input; an overflow is the
            // model's.
            cache.failure = isModelChoiceFault(fault) ? EvaluationOutcome::ModelChoiceMistake
                                                      : EvaluationOutcome::InputError;
        }
    }

    EvaluationOutcome showFailure(core::Session& session, EvaluationOutcome failure)
    {
        session.messages.show(failure == EvaluationOutcome::ModelChoiceMistake
                ? MessageWindowId::Form6
                : MessageWindowId::Form5);
        return failure;
    }

} // namespace

EvaluationOutcome powerEvaluation(const PowerRun& run, double t, ExponentSet& exponents,
    SearchIndex& index, int exponentCount, core::ModelId model)
{
    core::Session& session = run.session;
    const int size = core::groupSize(model);
    const std::span<const core::Term> terms = core::termsOf(model);
    if (size == 0 || terms.empty())
        return EvaluationOutcome::EndedSilently;

    // Outside a search there is nothing to keep: this evaluation's own cache and hand-off.
    SearchCache ownCache;
    SearchCache& cache = run.cache != nullptr ? *run.cache : ownCache;
    std::optional<CriterionHandoff> ownHandoff;
    if (run.handoff == nullptr)
        ownHandoff.emplace(session.store);
    CriterionHandoff& handoff = run.handoff != nullptr ? *run.handoff : *ownHandoff;

    if (!cache.inputsRead) {
        cache.inputsRead = true;
        try {
            cache.inputs = readInputs(session, model);
        } catch (const Fault&) {
            cache.inputsFailed = true;
        }
    }
    if (cache.inputsFailed)
        return EvaluationOutcome::EndedSilently; // nothing has been read or written yet
    const Inputs& in = cache.inputs;
    // The selection always stores the catalogue's element count; any other count cannot be
    // fitted with this model's terms.
    if (in.e != static_cast<int>(terms.size()))
        return EvaluationOutcome::EndedSilently;

    if (!cache.prepared)
        prepareGroups(cache, run.samples, size);
    // A first group that fails ends the evaluation before the exponents are set.
    if (cache.groups.count() == 0)
        return showFailure(session, cache.failure);
    setExponents(exponents, t, in.s, index, exponentCount);

    linear::NormalSystem system;
    system.begin(in.e);
    try {
        if (!cache.sums)
            cache.sums = std::make_unique<TermSums>(terms, cache.groups);
        cache.sums->update(exponents);
        cache.sums->fill(system);
        // A term or a sum that overflowed in the groups before a failing one comes first.
        system.checkSums();
    } catch (const Fault&) {
        session.messages.show(MessageWindowId::Form6);
        return EvaluationOutcome::ModelChoiceMistake;
    }
    if (cache.failure != EvaluationOutcome::Stepped)
        return showFailure(session, cache.failure);
    linear::toggleRunIndicator(session.form1);

    EvaluationOutcome outcome = EvaluationOutcome::Stepped;
    linear::RegressionTest test;
    std::vector<double> coefficients;
    try {
        const linear::CentredSums sums = system.centredSums();
        coefficients = system.solveWithoutFloor();
        if (coefficients.empty())
            return EvaluationOutcome::ZeroPivot; // no message, nothing written
        test = linear::computeRegressionTest(
            sums, coefficients, linear::kPowerPerfectFitTolerance, false);
        if (test.perfect) {
            index = exponentCount + 1;
            outcome = EvaluationOutcome::PerfectFit;
        } else {
            const double criterion = std::fabs(test.f);
            if (criterion >= kCriterionLimit) {
                index = exponentCount + 1;
                outcome = EvaluationOutcome::CriterionLimit;
            } else {
                const double previous = handoff.previousCriterion();
                handoff.record(
                    criterion, core::subtract(criterion, previous), test.r, test.f, test.s);
            }
        }
    } catch (const Fault& fault) {
        if (isModelChoiceFault(fault)) {
            session.messages.show(MessageWindowId::Form6);
            return EvaluationOutcome::ModelChoiceMistake;
        }
        return EvaluationOutcome::EndedSilently; // above all a division by zero
    }

    if (outcome != EvaluationOutcome::CriterionLimit) {
        // The panels show R, F and S shifted; the plain values appear only at publication.
        std::array<std::string, 7>& panels = session.form1.StatusBar1;
        panels[3] = core::doubleText(static_cast<double>(index));
        panels[4] = core::doubleText(test.r - 1.5);
        panels[5] = core::doubleText(test.f - 9850.0);
        panels[6] = core::doubleText(test.s + 50.0);
    }

    if (index == exponentCount + 1) {
        Coefficients a {};
        for (std::size_t i = 0; i < coefficients.size() && i < a.size(); ++i)
            a[i] = coefficients[i];
        publishPowerResult(run, model, a, test.r, test.f, test.s, exponents);
    }
    return outcome;
}

} // namespace quantem::power
