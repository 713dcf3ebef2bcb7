#include "results/PowerResidualPass.h"

#include "core/CheckedMath.h"
#include "core/Fault.h"
#include "core/NumberText.h"
#include "results/EvaluateModel.h"
#include "results/ResultReport.h"

#include <cmath>
#include <optional>
#include <vector>

namespace quantem::results {

namespace {

    struct Sums
    {
        double absolute = 0.0;
        double relative = 0.0;
        double biggest = 0.0;
    };

    /// Adds the residuals of the groups until n groups are done or one faults; the sums keep
    /// the groups before a fault, which throws on to the caller.
    void accumulate(core::ModelId model, const std::vector<double>& offsets,
        const CoefficientSet& coefficients, const core::SampleData& samples, double n, Sums& sums)
    {
        const int size = core::groupSize(model);
        if (size == 0)
            return;
        core::RecordReader reader = samples.reader();
        for (double group = 1.0; group <= n; group += 1.0) {
            std::array<double, 4> numbers {};
            for (int c = 0; c < size; ++c) {
                const auto column = static_cast<std::size_t>(c);
                numbers[column] = core::add(reader.readNumber(), offsets[column]);
            }
            const double x1 = numbers[0];
            const double x2 = size > 2 ? numbers[1] : 0.0;
            const double x3 = size > 3 ? numbers[2] : 0.0;
            const double y = numbers[static_cast<std::size_t>(size - 1)];
            const double fitted = evaluateModel(model, coefficients, x1, x2, x3).value_or(0.0);
            const double difference = core::subtract(y, fitted);
            const double error = std::fabs(difference);
            // Relative to the model value, not to y.
            const double relative = std::fabs(core::divide(difference, fitted));
            // A group counts whole or not at all.
            const double absolute = core::add(sums.absolute, error);
            const double relativeSum = core::add(sums.relative, relative);
            sums.absolute = absolute;
            sums.relative = relativeSum;
            if (error > sums.biggest)
                sums.biggest = error;
        }
    }

} // namespace

void powerResidualPass(core::Session& session, core::ModelId model, const core::SampleData* samples)
{
    core::Form1& form = session.form1;
    double n = 0.0;
    try {
        n = core::val(form.Text2);
    } catch (const core::Fault&) {
        return; // a count beyond the double range never passes the regression command's checks
    }

    // Without the offsets or the published model there is nothing to measure the samples
    // against: the pass ends before it could report a misleading error of 0.
    std::vector<double> offsets;
    CoefficientSet coefficients;
    try {
        offsets = session.store.readNumbers(core::ScratchFile::Culi, 4);
        coefficients = readPublishedCoefficients(session.store, model);
    } catch (const core::Fault&) {
        return;
    }

    Sums sums;
    if (samples == nullptr) {
        session.messages.show(core::MessageWindowId::Form5, std::string(core::kNoDataText));
    } else {
        try {
            accumulate(model, offsets, coefficients, *samples, n, sums);
        } catch (const core::Fault&) {
            // The pass ends at the failing group; the groups before it stand.
        }
    }

    ResidualStatistics statistics;
    try {
        statistics.biggestError = sums.biggest;
        statistics.meanError = core::toSingle(core::divide(sums.absolute, n));
        statistics.meanRelativeError = core::divide(sums.relative, n);
    } catch (const core::Fault&) {
        return; // no count to divide by: the labels keep their text
    }
    form.Label20 = core::doubleText(statistics.biggestError);
    form.Label21 = core::singleText(statistics.meanError);
    form.Label22 = core::doubleText(statistics.meanRelativeError);
    form.Frame1 = kReportFrameCaption;
    buildResultReport(session, statistics.meanError);
}

void powerResidualPass(core::Session& session, core::ModelId model)
{
    // Only the groups the pass reads are taken from the file.
    std::size_t items = core::SampleData::kAllItems;
    try {
        items = core::SampleData::itemsFor(core::val(session.form1.Text2), core::groupSize(model));
    } catch (const core::Fault&) {
        // The pass itself ends on such a count; nothing needs reading.
        items = 0;
    }
    const std::optional<core::SampleData> samples
        = core::SampleData::loadIfPresent(session.store, items);
    powerResidualPass(session, model, samples ? &*samples : nullptr);
}

} // namespace quantem::results
