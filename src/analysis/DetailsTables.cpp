#include "analysis/DetailsTables.h"

#include <cmath>
#include <cstdio>
#include <optional>

namespace quantem::analysis {

namespace {

    std::string optionalCell(const std::optional<double>& value, int digits)
    {
        return value ? analysis::cellNumber(*value, digits) : std::string();
    }

    const ParameterEstimate* findParameter(const FitSummary* summary, const std::string& name)
    {
        if (summary == nullptr)
            return nullptr;
        for (const ParameterEstimate& p : summary->parameters)
            if (p.name == name)
                return &p;
        return nullptr;
    }

    std::string joined(const TextTable& table, char separator, const char* lineEnd,
        std::string (*cell)(const std::string&))
    {
        std::string text;
        for (const auto& row : table) {
            for (std::size_t i = 0; i < row.size(); ++i) {
                if (i > 0)
                    text += separator;
                text += cell(row[i]);
            }
            text += lineEnd;
        }
        return text;
    }

    std::string plainCell(const std::string& cell) { return cell; }

    std::string csvCell(const std::string& cell)
    {
        if (cell.find_first_of(",\"\r\n") == std::string::npos)
            return cell;
        std::string quoted = "\"";
        for (char c : cell)
            quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        return quoted + "\"";
    }

} // namespace

std::string cellNumber(double value, int digits)
{
    if (!std::isfinite(value))
        return {};
    char text[40];
    std::snprintf(text, sizeof text, "%.*G", digits, value);
    return text;
}

TextTable parameterTable(const FitDetails& details, int digits)
{
    TextTable table { { "parameter", "value", "standard error", "95% low", "95% high", "t", "p",
        "stable value", "refined value", "refined standard error" } };
    const FitSummary* stable = details.stable ? &*details.stable : nullptr;
    const FitSummary* refined = details.refined ? &details.refined->summary : nullptr;
    for (const ParameterEstimate& p : details.fit.parameters) {
        const ParameterEstimate* s = findParameter(stable, p.name);
        const ParameterEstimate* r = findParameter(refined, p.name);
        const auto number = [digits](double value) { return cellNumber(value, digits); };
        table.push_back({ p.name, number(p.value), number(p.standardError), number(p.ciLow),
            number(p.ciHigh), number(p.t), number(p.p), s ? number(s->value) : "",
            r ? number(r->value) : "", r ? number(r->standardError) : "" });
    }
    return table;
}

TextTable statisticsTable(const FitDetails& details, int digits)
{
    const FitSummary* columns[] = { &details.fit, details.stable ? &*details.stable : nullptr,
        details.refined ? &details.refined->summary : nullptr };
    TextTable table { { "statistic", "fit", "stable solve", "refined" } };
    const auto row = [&](const char* name, auto value) {
        std::vector<std::string> cells { name };
        for (const FitSummary* summary : columns)
            cells.push_back(summary ? value(*summary) : std::string());
        table.push_back(cells);
    };
    row("sum of squares", [digits](const FitSummary& s) { return cellNumber(s.sse, digits); });
    row("residual standard deviation",
        [digits](const FitSummary& s) { return cellNumber(s.residualSd, digits); });
    row("mean error", [digits](const FitSummary& s) { return cellNumber(s.meanError, digits); });
    row("R squared", [digits](const FitSummary& s) { return cellNumber(s.rSquared, digits); });
    row("adjusted R squared",
        [digits](const FitSummary& s) { return cellNumber(s.adjustedRSquared, digits); });
    row("AICc", [digits](const FitSummary& s) { return optionalCell(s.aicc, digits); });
    row("BIC", [digits](const FitSummary& s) { return optionalCell(s.bic, digits); });
    row("degrees of freedom", [](const FitSummary& s) { return std::to_string(s.dof); });
    row("condition number",
        [digits](const FitSummary& s) { return cellNumber(s.conditionNumber, digits); });
    return table;
}

TextTable residualTable(const FitDetails& details, int digits)
{
    TextTable table;
    const bool refined = details.refined.has_value();
    std::vector<std::string> header { "group" };
    const std::size_t variables = details.residuals.empty() ? 0 : details.residuals[0].x.size();
    for (std::size_t v = 1; v <= variables; ++v)
        header.push_back("x" + std::to_string(v));
    for (const char* name : { "y", "fitted", "residual", "relative residual" })
        header.emplace_back(name);
    if (refined) {
        header.emplace_back("refined fitted");
        header.emplace_back("refined residual");
    }
    table.push_back(header);
    for (const ResidualRow& r : details.residuals) {
        std::vector<std::string> cells { std::to_string(r.group) };
        for (double x : r.x)
            cells.push_back(cellNumber(x, digits));
        for (double value : { r.y, r.fitted, r.residual, r.relative })
            cells.push_back(cellNumber(value, digits));
        if (refined) {
            cells.push_back(optionalCell(r.refinedFitted, digits));
            cells.push_back(optionalCell(r.refinedResidual, digits));
        }
        table.push_back(std::move(cells));
    }
    return table;
}

std::string tabSeparated(const TextTable& table) { return joined(table, '\t', "\n", plainCell); }

std::string commaSeparated(const TextTable& table) { return joined(table, ',', "\r\n", csvCell); }

} // namespace quantem::analysis
