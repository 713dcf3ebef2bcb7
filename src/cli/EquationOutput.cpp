#include "cli/EquationOutput.h"

#include "cli/JsonNumber.h"
#include "equation/NumberWords.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quantem::cli {

namespace {

    using Json = nlohmann::ordered_json;

    // Numbers of the text form: twelve significant digits.
    std::string numberText(double value) { return equation::numberWords(value, 12); }

    /// The correlation over every parameter in the formula's order; rows and columns of fixed
    /// parameters are null.
    Json correlationJson(const equation::EquationResult& result)
    {
        std::vector<int> column;
        int free = 0;
        for (const equation::EquationParameter& p : result.parameters)
            column.push_back(p.fixed ? -1 : free++);
        Json rows = Json::array();
        for (const int i : column) {
            Json row = Json::array();
            for (const int j : column)
                row.push_back(
                    i < 0 || j < 0 ? Json(nullptr) : jsonNumber(result.correlation(i, j)));
            rows.push_back(row);
        }
        return rows;
    }

    std::string cell(double value)
    {
        return std::isfinite(value) ? numberText(value) : std::string("-");
    }

} // namespace

Json equationJson(const equation::Tape& tape, const equation::EquationResult& result, bool details)
{
    Json parameters = Json::array();
    for (const equation::EquationParameter& p : result.parameters)
        parameters.push_back({ { "name", p.name }, { "start", jsonNumber(p.start) },
            { "value", jsonNumber(p.value) }, { "standard_error", jsonNumber(p.standardError) },
            { "ci_low", jsonNumber(p.ciLow) }, { "ci_high", jsonNumber(p.ciHigh) },
            { "t", jsonNumber(p.t) }, { "p", jsonNumber(p.p) }, { "fixed", p.fixed },
            { "at_bound", p.atBound } });
    Json fit;
    fit["text"] = tape.text;
    fit["variables"] = tape.variableNames();
    fit["groups"] = result.groups;
    fit["dof"] = result.dof;
    fit["parameters"] = parameters;
    fit["sse"] = jsonNumber(result.sse);
    fit["residual_sd"] = jsonNumber(result.residualSd);
    fit["r2"] = jsonNumber(result.rSquared);
    fit["adjusted_r2"] = jsonNumber(result.adjustedRSquared);
    fit["aicc"] = jsonNumber(result.aicc);
    fit["bic"] = jsonNumber(result.bic);
    fit["condition_number"] = jsonNumber(result.conditionNumber);
    fit["iterations"] = result.iterations;
    fit["evaluations"] = result.evaluations;
    fit["converged"] = result.converged;
    fit["stop_reason"] = result.stopReason;
    fit["warnings"] = result.warnings;
    fit["correlation"] = correlationJson(result);
    if (details) {
        Json residuals = Json::array();
        for (std::size_t i = 0; i < result.residuals.size(); ++i)
            residuals.push_back({ { "group", i + 1 }, { "fitted", jsonNumber(result.fitted[i]) },
                { "residual", jsonNumber(result.residuals[i]) } });
        fit["residuals"] = residuals;
    }
    return Json { { "equation", fit } };
}

Json errorJson(const std::string& message, std::optional<int> position)
{
    return Json { { "error",
        { { "message", message }, { "position", position ? Json(*position) : Json(nullptr) } } } };
}

void printEquation(const equation::Tape& tape, const equation::EquationResult& result, bool details,
    std::ostream& out)
{
    out << "equation: " << tape.text << "\n\n";
    // Columns as wide as their longest cell, two blanks apart.
    std::vector<std::vector<std::string>> rows { { "parameter", "value", "std. error", "95 % low",
        "95 % high", "t", "p", "" } };
    for (const equation::EquationParameter& p : result.parameters) {
        if (p.fixed)
            rows.push_back({ p.name, numberText(p.value), "fixed", "", "", "", "", "" });
        else
            rows.push_back({ p.name, numberText(p.value), cell(p.standardError), cell(p.ciLow),
                cell(p.ciHigh), cell(p.t), cell(p.p), p.atBound ? "at a bound" : "" });
    }
    std::vector<std::size_t> widths(rows.front().size(), 0);
    for (const auto& row : rows)
        for (std::size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], row[c].size());
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c)
            line += row[c] + std::string(widths[c] - row[c].size() + 2, ' ');
        out << line.substr(0, line.find_last_not_of(' ') + 1) << '\n';
    }
    out << "\ngroups " << result.groups << ", degrees of freedom " << result.dof << '\n';
    out << "sum of squares " << numberText(result.sse) << ", residual SD "
        << cell(result.residualSd) << '\n';
    out << "R2 " << cell(result.rSquared) << ", adjusted R2 " << cell(result.adjustedRSquared)
        << ", AICc " << (result.aicc ? cell(*result.aicc) : "-") << ", BIC "
        << (result.bic ? cell(*result.bic) : "-") << '\n';
    out << "condition number " << cell(result.conditionNumber) << '\n';
    out << (result.converged ? "converged" : "did not converge") << " after " << result.iterations
        << " iterations and " << result.evaluations << " evaluations: " << result.stopReason
        << '\n';
    for (const std::string& warning : result.warnings)
        out << "warning: " << warning << '\n';
    if (details) {
        out << "\ngroup fitted residual\n";
        for (std::size_t i = 0; i < result.residuals.size(); ++i)
            out << i + 1 << ' ' << numberText(result.fitted[i]) << ' '
                << numberText(result.residuals[i]) << '\n';
    }
}

} // namespace quantem::cli
