#include "engine_power/PublishPowerResult.h"

#include "core/Fault.h"
#include "core/NumberText.h"
#include "core/TermTable.h"
#include "results/PowerResidualPass.h"

#include <cmath>

namespace quantem::power {

double cutExponent(double exponent)
{
    // Toward minus infinity, on a grid of 1/985000000000 (not a power of ten).
    return std::floor(exponent * kExponentGrid) / kExponentGrid;
}

void publishPowerResult(const PowerRun& run, core::ModelId model, const Coefficients& a, double r,
    double f, double s, ExponentSet& exponents)
{
    const core::ModelDescriptor* descriptor = core::findModel(model);
    if (descriptor == nullptr || core::groupSize(model) == 0)
        return;
    core::Session& session = run.session;
    core::Form1& form = session.form1;
    const int e = descriptor->elements;
    const int k = descriptor->exponents;

    // The shared exponents change too: a run that publishes again starts from these values.
    for (int index = 1; index <= kMaxExponents; ++index) {
        double& exponent = exponents[static_cast<std::size_t>(index - 1)];
        exponent = cutExponent(exponent) + core::exponentOffset(model, index);
    }

    core::Record coefficients;
    for (int i = 0; i <= 6; ++i) {
        const double value = a[static_cast<std::size_t>(i)];
        form.label(2 + i) = i <= e ? core::doubleText(value) : std::string();
        if (i <= e)
            coefficients.emplace_back(value);
    }
    for (int index = 1; index <= kMaxExponents; ++index) {
        const double value = exponents[static_cast<std::size_t>(index - 1)];
        form.label(10 + index) = index <= k ? core::doubleText(value) : std::string();
        if (index <= k)
            coefficients.emplace_back(value);
    }
    form.Label17 = core::doubleText(r);
    form.Label18 = core::doubleText(f);
    form.Label19 = core::doubleText(s);
    ++form.publishedFits;

    try {
        session.store.writeRecords(core::ScratchFile::Xb, { coefficients, { r, f, s } });
    } catch (const core::Fault&) {
        // The residual pass would read an earlier fit's coefficients: say so instead.
        session.messages.show(core::MessageWindowId::Form5, std::string(kResultNotSavedText));
        return;
    }
    results::powerResidualPass(session, model, run.samples);
}

} // namespace quantem::power
