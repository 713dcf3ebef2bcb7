#include "equation/EquationTables.h"

namespace quantem::equation {

namespace {

    using analysis::cellNumber;
    using analysis::TextTable;

    std::string optionalNumber(const std::optional<double>& value, int digits)
    {
        return value ? cellNumber(*value, digits) : std::string();
    }

    std::vector<std::string> freeNames(const EquationResult& result)
    {
        std::vector<std::string> names;
        for (const EquationParameter& p : result.parameters)
            if (!p.fixed)
                names.push_back(p.name);
        return names;
    }

} // namespace

TextTable parameterTable(const EquationResult& result, int digits)
{
    TextTable table { { "Parameter", "Start", "Fixed", "Value", "Standard error", "95% low",
        "95% high", "t", "p", "At bound" } };
    for (const EquationParameter& p : result.parameters)
        table.push_back({ p.name, cellNumber(p.start, digits), p.fixed ? "yes" : "",
            cellNumber(p.value, digits), cellNumber(p.standardError, digits),
            cellNumber(p.ciLow, digits), cellNumber(p.ciHigh, digits), cellNumber(p.t, digits),
            cellNumber(p.p, digits), p.atBound ? "yes" : "" });
    return table;
}

TextTable statisticsTable(const EquationResult& result, int digits)
{
    return {
        { "Statistic", "Value" },
        { "Groups", std::to_string(result.groups) },
        { "Degrees of freedom", std::to_string(result.dof) },
        { "Sum of squares", cellNumber(result.sse, digits) },
        { "Residual SD", cellNumber(result.residualSd, digits) },
        { "R squared", cellNumber(result.rSquared, digits) },
        { "Adjusted R squared", cellNumber(result.adjustedRSquared, digits) },
        { "AICc", optionalNumber(result.aicc, digits) },
        { "BIC", optionalNumber(result.bic, digits) },
        { "Condition number", cellNumber(result.conditionNumber, digits) },
        { "Iterations", std::to_string(result.iterations) },
        { "Evaluations", std::to_string(result.evaluations) },
        { "Converged", result.converged ? "yes" : "no" },
        { "Stop reason", result.stopReason },
    };
}

TextTable correlationTable(const EquationResult& result, int digits)
{
    const std::vector<std::string> names = freeNames(result);
    TextTable table { { "" } };
    table.front().insert(table.front().end(), names.begin(), names.end());
    const auto size = static_cast<Eigen::Index>(names.size());
    const bool complete = result.correlation.rows() == size && result.correlation.cols() == size;
    for (Eigen::Index i = 0; i < size; ++i) {
        std::vector<std::string> row { names[static_cast<std::size_t>(i)] };
        for (Eigen::Index j = 0; j < size; ++j)
            row.push_back(complete ? cellNumber(result.correlation(i, j), digits) : "");
        table.push_back(std::move(row));
    }
    return table;
}

TextTable residualTable(
    const Tape& tape, const EquationData& data, const EquationResult& result, int digits)
{
    TextTable table { { "Group" } };
    for (const std::string& name : tape.variableNames())
        table.front().push_back(name);
    table.front().insert(table.front().end(), { "y", "Fitted", "Residual" });
    const bool complete
        = result.fitted.size() == data.groups() && result.residuals.size() == data.groups();
    for (std::size_t g = 0; g < data.groups(); ++g) {
        std::vector<std::string> row { std::to_string(g + 1) };
        for (const std::vector<double>& column : data.variables)
            row.push_back(cellNumber(column[g], digits));
        row.push_back(cellNumber(data.y[g], digits));
        row.push_back(complete ? cellNumber(result.fitted[g], digits) : "");
        row.push_back(complete ? cellNumber(result.residuals[g], digits) : "");
        table.push_back(std::move(row));
    }
    return table;
}

std::string allTables(const Tape& tape, const EquationData& data, const EquationResult& result,
    std::string (*form)(const analysis::TextTable&))
{
    const std::string gap = form == analysis::commaSeparated ? "\r\n" : "\n";
    return form(parameterTable(result)) + gap + form(statisticsTable(result)) + gap
        + form(correlationTable(result)) + gap + form(residualTable(tape, data, result));
}

} // namespace quantem::equation
