#include "cli/DetailsOutput.h"

#include "analysis/Refinement.h"
#include "app/ShownFitRefinement.h"
#include "cli/JsonNumber.h"
#include "core/SamplesReadStore.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace quantem::cli {

namespace {

    using Json = nlohmann::ordered_json;

    Json summaryJson(const analysis::FitSummary& summary)
    {
        Json parameters = Json::array();
        for (const analysis::ParameterEstimate& p : summary.parameters) {
            parameters.push_back({ { "name", p.name }, { "value", jsonNumber(p.value) },
                { "standard_error", jsonNumber(p.standardError) },
                { "ci95", Json::array({ jsonNumber(p.ciLow), jsonNumber(p.ciHigh) }) },
                { "t", jsonNumber(p.t) }, { "p", jsonNumber(p.p) } });
        }
        return { { "parameters", parameters }, { "sse", jsonNumber(summary.sse) },
            { "residual_sd", jsonNumber(summary.residualSd) },
            { "mean_error", jsonNumber(summary.meanError) },
            { "r_squared", jsonNumber(summary.rSquared) },
            { "adjusted_r_squared", jsonNumber(summary.adjustedRSquared) },
            { "aicc", jsonNumber(summary.aicc) }, { "bic", jsonNumber(summary.bic) },
            { "dof", summary.dof }, { "condition_number", jsonNumber(summary.conditionNumber) } };
    }

    /// All significant digits, so that a reader of the text gets the values the JSON carries.
    std::string text(double value)
    {
        if (!std::isfinite(value))
            return "-";
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.15G", value);
        return buffer;
    }

    std::string text(const std::optional<double>& value) { return value ? text(*value) : "-"; }

    void printSummary(const char* title, const analysis::FitSummary& summary, std::ostream& out)
    {
        out << title << '\n';
        out << "  parameter  value  standard error  95% interval  t  p\n";
        for (const analysis::ParameterEstimate& p : summary.parameters) {
            out << "  " << p.name << "  " << text(p.value) << "  " << text(p.standardError) << "  ["
                << text(p.ciLow) << ", " << text(p.ciHigh) << "]  " << text(p.t) << "  "
                << text(p.p) << '\n';
        }
        out << "  sum of squares: " << text(summary.sse) << '\n'
            << "  residual standard deviation: " << text(summary.residualSd) << '\n'
            << "  mean error: " << text(summary.meanError) << '\n'
            << "  R squared: " << text(summary.rSquared) << '\n'
            << "  adjusted R squared: " << text(summary.adjustedRSquared) << '\n'
            << "  AICc: " << text(summary.aicc) << '\n'
            << "  BIC: " << text(summary.bic) << '\n'
            << "  degrees of freedom: " << summary.dof << '\n'
            << "  condition number: " << text(summary.conditionNumber) << '\n';
    }

    // The details as the session's store gives the sample file.
    std::optional<analysis::FitDetails> describeShownFit(const core::Session& session)
    {
        const std::optional<analysis::FitSnapshot> snapshot = analysis::takeSnapshot(session);
        if (!snapshot)
            return std::nullopt;
        std::optional<analysis::Refinement> refinement = app::refineShownFit(session);
        if (!refinement) // a linear model, or a stopped refinement
            refinement = analysis::refine(*snapshot);
        return analysis::describe(*snapshot, *refinement);
    }

} // namespace

std::optional<analysis::FitDetails> currentDetails(const core::Session& session)
{
    // The snapshot and the refinement read the sample file from the start; they get the groups
    // of the fit, read once, and nothing of the file past them.
    const std::optional<std::size_t> items = core::itemsOfShownFit(session.store, session.form1);
    if (!items)
        return describeShownFit(session);
    core::Session bounded = session;
    bounded.store = core::withSamplesRead(session.store, *items);
    return describeShownFit(bounded);
}

nlohmann::ordered_json detailsJson(const analysis::FitDetails& details)
{
    Json json;
    json["fit"] = summaryJson(details.fit);
    json["stable"] = details.stable ? summaryJson(*details.stable) : Json(nullptr);
    if (details.refined) {
        Json refined = summaryJson(details.refined->summary);
        refined["iterations"] = details.refined->iterations;
        refined["stop_reason"] = details.refined->stopReason;
        refined["start"] = details.refined->start;
        json["refined"] = refined;
    } else {
        json["refined"] = nullptr;
    }
    json["warning"] = details.warning ? Json(*details.warning) : Json(nullptr);
    if (details.refinementNote)
        json["refinement_note"] = *details.refinementNote;
    return json;
}

void printDetails(const std::optional<analysis::FitDetails>& details, std::ostream& out)
{
    out << "\nFit details\n";
    if (!details) {
        out << "  no finished fit to describe\n";
        return;
    }
    if (details->warning)
        out << *details->warning << '\n';
    printSummary("Fit as published", details->fit, out);
    if (details->stable)
        printSummary("Stable solve", *details->stable, out);
    if (details->refined) {
        printSummary("Refined", details->refined->summary, out);
        out << "  iterations: " << details->refined->iterations << '\n'
            << "  stopped: " << details->refined->stopReason << '\n'
            << "  from: " << details->refined->start << '\n';
    } else if (details->refinementNote) {
        out << *details->refinementNote << '\n';
    }
}

} // namespace quantem::cli
