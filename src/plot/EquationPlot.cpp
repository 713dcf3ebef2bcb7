#include "plot/EquationPlot.h"

#include "equation/TapeEvaluation.h"
#include "plot/Bands.h"
#include "plot/PlotLayout.h"

#include <algorithm>
#include <cmath>

namespace quantem::plot {

namespace {

    std::vector<double> freeStandardErrors(const equation::EquationResult& result)
    {
        std::vector<double> errors;
        for (const equation::EquationParameter& p : result.parameters)
            if (!p.fixed)
                errors.push_back(p.standardError);
        return errors;
    }

    FitUncertainty uncertaintyOf(
        const equation::EquationResult& result, const equation::EquationSetup& setup)
    {
        FitUncertainty uncertainty;
        uncertainty.residualSd = result.residualSd;
        uncertainty.dof = result.dof;
        uncertainty.weighted = setup.weighting != equation::Weighting::None;
        for (const equation::EquationParameter& p : result.parameters)
            if (!p.fixed && !std::isfinite(p.standardError) && uncertainty.unknownParameter.empty())
                uncertainty.unknownParameter = p.name;
        if (uncertainty.unknownParameter.empty())
            uncertainty.covariance = equationCovariance(result);
        return uncertainty;
    }

} // namespace

ModelAt equationAt(const equation::Tape& tape, const equation::EquationResult& result,
    const equation::EquationSetup& setup, const std::vector<std::vector<double>>& columns)
{
    const std::size_t points = columns.empty() ? 0 : columns[0].size();
    const auto parameterCount = static_cast<Eigen::Index>(tape.parameters.size());
    std::vector<double> p;
    for (const equation::EquationParameter& parameter : result.parameters)
        p.push_back(parameter.value);
    std::vector<Eigen::Index> freeColumns;
    for (std::size_t j = 0; j < setup.parameters.size(); ++j)
        if (!setup.parameters[j].fixed)
            freeColumns.push_back(static_cast<Eigen::Index>(j));

    ModelAt at;
    at.values.resize(points);
    at.gradients.resize(
        static_cast<Eigen::Index>(points), static_cast<Eigen::Index>(freeColumns.size()));
    equation::BlockEvaluator evaluator(tape);
    Eigen::MatrixXd derivatives(equation::kBlockRows, parameterCount);
    std::vector<const double*> rows(columns.size());
    for (std::size_t first = 0; first < points; first += equation::kBlockRows) {
        const int count
            = static_cast<int>(std::min<std::size_t>(equation::kBlockRows, points - first));
        for (std::size_t v = 0; v < columns.size(); ++v)
            rows[v] = columns[v].data() + first;
        evaluator.evaluate(
            p, rows, count, at.values.data() + first, derivatives.data(), derivatives.rows());
        for (std::size_t c = 0; c < freeColumns.size(); ++c)
            at.gradients.block(
                static_cast<Eigen::Index>(first), static_cast<Eigen::Index>(c), count, 1)
                = derivatives.block(0, freeColumns[c], count, 1);
    }
    return at;
}

Eigen::MatrixXd equationCovariance(const equation::EquationResult& result)
{
    return covarianceFrom(freeStandardErrors(result), result.correlation);
}

FitPlot equationPlot(const equation::Tape& tape, const equation::EquationData& data,
    const equation::EquationResult& result, const equation::EquationSetup& setup,
    const PlotOptions& options)
{
    PlotContent content;
    content.title = tape.text;
    content.yName = "y";
    content.sampleY = data.y;
    content.residuals = result.residuals;
    const std::vector<std::string> names = tape.variableNames();
    if (data.variables.size() != 1) {
        content.kind = PlotKind::MeasuredAgainstFitted;
        content.xName = "fitted y";
        content.sampleX = result.fitted;
        content.notes.push_back("The formula has " + std::to_string(data.variables.size())
            + " variables: measured y is shown against fitted y.");
        return layOutPlot(content, options);
    }
    content.xName = names.front();
    content.curveLabel = "Fit: " + tape.text;
    content.sampleX = data.variables[0];
    content.curveX = curveGridOver(content.sampleX, options.xScale);
    const ModelAt at = equationAt(tape, result, setup, { content.curveX });
    content.curveY = at.values;
    addBands(content, at.gradients, uncertaintyOf(result, setup), options);
    return layOutPlot(content, options);
}

} // namespace quantem::plot
