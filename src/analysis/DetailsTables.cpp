#include "analysis/DetailsTables.h"

#include <cmath>
#include <cstdio>
#include <optional>

namespace quantem::analysis {

namespace {

    std::string optionalCell(const std::optional<double>& value)
    {
        return value ? analysis::cellNumber(*value) : std::string();
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

std::string cellNumber(double value)
{
    if (!std::isfinite(value))
        return {};
    char text[40];
    std::snprintf(text, sizeof text, "%.15G", value);
    return text;
}

TextTable parameterTable(const FitDetails& details)
{
    TextTable table { { "parameter", "value", "standard error", "95% low", "95% high", "t", "p",
        "stable value", "refined value", "refined standard error" } };
    const FitSummary* stable = details.stable ? &*details.stable : nullptr;
    const FitSummary* refined = details.refined ? &details.refined->summary : nullptr;
    for (const ParameterEstimate& p : details.fit.parameters) {
        const ParameterEstimate* s = findParameter(stable, p.name);
        const ParameterEstimate* r = findParameter(refined, p.name);
        table.push_back({ p.name, cellNumber(p.value), cellNumber(p.standardError),
            cellNumber(p.ciLow), cellNumber(p.ciHigh), cellNumber(p.t), cellNumber(p.p),
            s ? cellNumber(s->value) : "", r ? cellNumber(r->value) : "",
            r ? cellNumber(r->standardError) : "" });
    }
    return table;
}

TextTable statisticsTable(const FitDetails& details)
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
    row("sum of squares", [](const FitSummary& s) { return cellNumber(s.sse); });
    row("residual standard deviation",
        [](const FitSummary& s) { return cellNumber(s.residualSd); });
    row("mean error", [](const FitSummary& s) { return cellNumber(s.meanError); });
    row("R squared", [](const FitSummary& s) { return cellNumber(s.rSquared); });
    row("adjusted R squared", [](const FitSummary& s) { return cellNumber(s.adjustedRSquared); });
    row("AICc", [](const FitSummary& s) { return optionalCell(s.aicc); });
    row("BIC", [](const FitSummary& s) { return optionalCell(s.bic); });
    row("degrees of freedom", [](const FitSummary& s) { return std::to_string(s.dof); });
    row("condition number", [](const FitSummary& s) { return cellNumber(s.conditionNumber); });
    return table;
}

TextTable residualTable(const FitDetails& details)
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
            cells.push_back(cellNumber(x));
        cells.push_back(cellNumber(r.y));
        cells.push_back(cellNumber(r.fitted));
        cells.push_back(cellNumber(r.residual));
        cells.push_back(cellNumber(r.relative));
        if (refined) {
            cells.push_back(optionalCell(r.refinedFitted));
            cells.push_back(optionalCell(r.refinedResidual));
        }
        table.push_back(std::move(cells));
    }
    return table;
}

std::string tabSeparated(const TextTable& table) { return joined(table, '\t', "\n", plainCell); }

std::string commaSeparated(const TextTable& table) { return joined(table, ',', "\r\n", csvCell); }

} // namespace quantem::analysis
