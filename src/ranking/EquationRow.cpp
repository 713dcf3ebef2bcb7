#include "ranking/EquationRow.h"

#include "analysis/InformationCriteria.h"
#include "core/NumberText.h"
#include "core/SampleData.h"
#include "equation/EquationSamples.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quantem::ranking {

namespace {

    std::optional<double> finiteOrNone(double value)
    {
        return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
    }

    /// The six test parameters and the criteria from y and the fitted values, m free parameters.
    void addStatistics(
        RankRow& row, const std::vector<double>& y, const std::vector<double>& fitted, int m)
    {
        const double n = static_cast<double>(y.size());
        double sumY = 0.0;
        double sumYY = 0.0;
        double q = 0.0;
        double absolute = 0.0;
        double relative = 0.0;
        double biggest = 0.0;
        for (std::size_t i = 0; i < y.size(); ++i) {
            const double e = y[i] - fitted[i];
            sumY += y[i];
            sumYY += y[i] * y[i];
            q += e * e;
            absolute += std::fabs(e);
            // Relative to the fitted value, as the catalogue's residual passes take it.
            relative += std::fabs(e / fitted[i]);
            biggest = std::max(biggest, std::fabs(e));
        }
        const double lyy = sumYY - sumY * sumY / n;
        const double u = lyy - q;
        const double freedom = n - static_cast<double>(m);
        const auto at = [&row](Statistic which) -> std::optional<double>& {
            return row.statistics[static_cast<std::size_t>(which)];
        };
        at(Statistic::R) = finiteOrNone(std::sqrt(std::fabs(u / lyy)));
        // Q exactly 0 is the catalogue's perfect fit, which shows F = 1E+20 and S = 0.
        if (q == 0.0) {
            at(Statistic::F) = 1E+20;
            at(Statistic::S) = 0.0;
        } else {
            if (m > 1)
                at(Statistic::F) = finiteOrNone(freedom * ((u / (m - 1.0)) / q));
            at(Statistic::S) = finiteOrNone(std::sqrt(std::fabs(q / freedom)));
        }
        at(Statistic::BiggestError) = biggest;
        const float meanError = static_cast<float>(absolute / n);
        at(Statistic::MeanError) = finiteOrNone(meanError);
        at(Statistic::MeanRelativeError) = finiteOrNone(relative / n);
        // The texts the labels would show (the mean error in single precision), and as the
        // catalogue's rows, the numbers they show.
        for (std::size_t i = 0; i < kStatisticCount; ++i) {
            if (!row.statistics[i])
                continue;
            row.statisticTexts[i] = i == static_cast<std::size_t>(Statistic::MeanError)
                ? core::singleText(meanError)
                : core::doubleText(*row.statistics[i]);
            double shown = 0.0;
            if (core::parseNumber(row.statisticTexts[i], shown))
                row.statistics[i] = shown;
        }
        const analysis::InformationCriteria criteria
            = analysis::informationCriteria(q, static_cast<int>(y.size()), m);
        row.aicc = criteria.aicc;
        row.bic = criteria.bic;
    }

    /// The groups of the ranking for the tape, or why there are none.
    equation::EquationSamples groupsFor(const RankingInput& input, const equation::Tape& tape,
        const std::shared_ptr<const core::SampleStorage>& samples)
    {
        const int count = sampleCountOf(input);
        equation::EquationSamples none;
        if (samples == nullptr) {
            none.error = "there is no data.qtm to fit the equation to: write the samples first";
        } else if (count < 1) {
            none.error = "the sample count '" + input.samples
                + "' is not a number of groups: type the number of groups to fit";
        } else {
            return equation::equationSamples(samples->values(), samples->firstFault(),
                tape.variableCount, false, static_cast<std::size_t>(count));
        }
        return none;
    }

} // namespace

std::vector<equation::EquationEntry> equationsForGroupSize(
    const std::vector<equation::EquationEntry>& entries, int groupSize)
{
    std::vector<equation::EquationEntry> fitting;
    for (const equation::EquationEntry& entry : entries) {
        const equation::CompileResult compiled = equation::compileFormula(entry.formula);
        if (compiled.tape && compiled.tape->variableCount + 1 == groupSize)
            fitting.push_back(entry);
    }
    return fitting;
}

std::optional<RankRow> fitEquationRow(const RankingInput& input,
    const equation::EquationEntry& entry, const std::atomic<bool>* stop,
    std::shared_ptr<const core::SampleStorage> samplesRead)
{
    RankRow row;
    row.equation = entry.name;
    row.formula = entry.formula;
    const equation::CompileResult compiled = equation::compileFormula(entry.formula);
    if (!compiled.tape) {
        row.equationProblem = "the formula cannot be read: " + compiled.error.message;
        return row;
    }
    const equation::Tape& tape = *compiled.tape;
    const equation::EquationSetup setup = equation::setupOf(tape, entry);
    row.parameters = static_cast<int>(std::count_if(setup.parameters.begin(),
        setup.parameters.end(), [](const analysis::ParameterSetup& p) { return !p.fixed; }));
    if (entry.weighting == equation::Weighting::Sigma) {
        row.equationProblem = "the equation is weighted by sigma, which the groups of a ranking "
                              "do not hold: save it with another weighting to rank it";
        return row;
    }
    if (samplesRead == nullptr)
        samplesRead = readSampleFile(input);
    const equation::EquationSamples samples = groupsFor(input, tape, samplesRead);
    row.equationProblem = samples.error;
    if (row.equationProblem.empty())
        row.equationProblem = equation::refusalOf(tape, samples.data, setup);
    if (!row.equationProblem.empty())
        return row;

    analysis::DriverControl control;
    control.cancel = stop;
    const equation::EquationResult result
        = equation::fitEquation(tape, samples.data, setup, control);
    if (result.cancelled || (stop != nullptr && stop->load(std::memory_order_relaxed)))
        return std::nullopt;
    for (const equation::EquationParameter& p : result.parameters)
        row.equationValues.push_back(p.value);
    if (!result.converged) {
        row.equationProblem = "the fit did not converge: " + result.stopReason
            + (result.hint.empty() ? "" : "; " + result.hint);
        return row;
    }
    addStatistics(row, samples.data.y, result.fitted, row.parameters);
    return row;
}

} // namespace quantem::ranking
