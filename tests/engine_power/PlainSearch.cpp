// The power engine as it was before the search kept anything between evaluations: every
// evaluation forms every term of every group with checked arithmetic, checks the sums after each
// group and goes through r1.sys and rr.sys. The program must give exactly what this gives.

#include "engine_power/PlainSearch.h"

#include "core/CheckedMath.h"
#include "core/Fault.h"
#include "core/NumberText.h"
#include "core/TermTable.h"
#include "engine_linear/FitStatistics.h"
#include "engine_linear/LinearFamilyFit.h"
#include "engine_linear/NormalSystem.h"
#include "engine_power/ExponentSearch.h"
#include "engine_power/PublishPowerResult.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace quantem::power::test {

using core::Fault;
using core::FaultCode;
using core::MessageWindowId;
using core::ScratchFile;

namespace {

    /// What an evaluation takes from the window and culi.sys before it opens the samples.
    struct Inputs
    {
        int n = 0;
        int e = 0;
        float s = 0.0f;
        double c1 = 0.0;
        double c2 = 0.0;
        double c3 = 0.0;
        std::int16_t c4 = 0;
    };

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

    double factorValue(const core::Factor& factor, const Group& g, const ExponentSet& exponents)
    {
        const double x = factor.variable == 1 ? g.x1 : factor.variable == 2 ? g.x2 : g.x3;
        switch (factor.kind) {
        case core::Factor::Kind::Variable:
            return x;
        case core::Factor::Kind::Reciprocal:
            return core::divide(1.0, x);
        case core::Factor::Kind::Power:
            // The term offset is added where the term is formed; publication adds it back.
            return core::power(
                x, exponents[static_cast<std::size_t>(factor.exponent - 1)] + factor.offset);
        case core::Factor::Kind::Log:
            return core::naturalLog(x);
        case core::Factor::Kind::Exp:
            return core::exponential(x);
        }
        return x;
    }

    /// A term's factors multiplied left to right as the table writes them.
    double termValue(const core::Term& term, const Group& g, const ExponentSet& exponents)
    {
        double value = factorValue(term.factors[0], g, exponents);
        for (int f = 1; f < term.count; ++f)
            value = core::multiply(
                value, factorValue(term.factors[static_cast<std::size_t>(f)], g, exponents));
        return value;
    }

    bool isModelChoiceFault(const Fault& fault)
    {
        return fault.code() == FaultCode::InvalidArgument || fault.code() == FaultCode::Overflow;
    }

} // namespace

EvaluationOutcome plainPowerEvaluation(const PowerRun& run, double t, ExponentSet& exponents,
    SearchIndex& index, int exponentCount, core::ModelId model)
{
    core::Session& session = run.session;
    const int size = core::groupSize(model);
    const std::span<const core::Term> terms = core::termsOf(model);
    if (size == 0 || terms.empty())
        return EvaluationOutcome::EndedSilently;

    Inputs in;
    try {
        in = readInputs(session, model);
    } catch (const Fault&) {
        return EvaluationOutcome::EndedSilently; // nothing has been read or written yet
    }
    // The selection always stores the catalogue's element count; any other count cannot be
    // fitted with this model's terms.
    if (in.e != static_cast<int>(terms.size()))
        return EvaluationOutcome::EndedSilently;

    linear::NormalSystem system;
    system.begin(in.e);
    const linear::YPrecision precision
        = size == 4 ? linear::YPrecision::Single : linear::YPrecision::Double;

    try {
        if (run.samples == nullptr)
            throw Fault(FaultCode::FileNotFound);
        core::RecordReader reader = run.samples->reader();
        std::array<double, 6> u {};
        int remaining = in.n;
        do { // remaining is tested after each group, so at least one group is read
            const Group g = readGroup(reader, size, in);
            if (refused(size, g)) {
                session.messages.show(MessageWindowId::Form5);
                return EvaluationOutcome::InputError;
            }
            setExponents(exponents, t, in.s, index, exponentCount);
            for (std::size_t r = 0; r < terms.size(); ++r)
                u[r] = termValue(terms[r], g, exponents);
            system.addGroup(std::span<const double>(u.data(), terms.size()), g.y, precision);
            remaining -= 1;
        } while (remaining > 0);
    } catch (const Fault& fault) {
        if (isModelChoiceFault(fault)) {
            session.messages.show(MessageWindowId::Form6);
            return EvaluationOutcome::ModelChoiceMistake;
        }
        // A sample file that cannot be read as groups is bad input.
        session.messages.show(MessageWindowId::Form5);
        return EvaluationOutcome::InputError;
    }
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
                const double previous = session.store.readNumbers(ScratchFile::R1, 1)[0];
                session.store.writeRecord(ScratchFile::R1, { criterion });
                session.store.writeRecord(ScratchFile::Rr,
                    { core::subtract(criterion, previous), test.r, test.f, test.s });
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

void plainExponentSearch(core::Session& session, int exponentCount, core::ModelId model)
{
    if (exponentCount < 0 || exponentCount > kMaxExponents || core::groupSize(model) == 0)
        return;
    core::Form1& form = session.form1;

    float s = 0.0f;
    try {
        s = startValue(form, model);
    } catch (const core::Fault&) {
        s = std::numeric_limits<float>::infinity(); // beyond the single range
    }
    if (!(std::fabs(s) <= kLargestStartValue)) {
        // The search could not end in any useful time: an input error before any evaluation.
        session.messages.show(core::MessageWindowId::Form5);
        return;
    }

    // The samples are read once; every evaluation takes its groups from memory in file order.
    // Without the file, each evaluation meets the missing file as it opens it.
    const std::optional<core::SampleData> samples = core::SampleData::loadIfPresent(session.store);
    const PowerRun run { session, samples ? &*samples : nullptr };

    ExponentSet exponents {};
    SearchIndex i = 1;
    double t = 0.0;
    auto evaluate = [&] {
        const EvaluationOutcome outcome
            = plainPowerEvaluation(run, t, exponents, i, exponentCount, model);
        static_cast<void>(outcome);
        if (session.progress != nullptr)
            session.progress->progress(form);
    };
    auto changeOfLast = [&] { return readCriterionChange(session.store); };

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

} // namespace quantem::power::test
