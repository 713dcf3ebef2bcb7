#include "equation/EquationFit.h"

#include "analysis/FitSummary.h"
#include "equation/EquationResiduals.h"
#include "equation/NumberWords.h"

#include <cmath>
#include <limits>

namespace quantem::equation {

namespace {

    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

    int freeCount(const EquationSetup& setup)
    {
        int count = 0;
        for (const analysis::ParameterSetup& p : setup.parameters)
            count += p.fixed ? 0 : 1;
        return count;
    }

    std::vector<double> scalesOf(const EquationData& data, const EquationSetup& setup)
    {
        return rowScales(setup.weighting, data.y, data.sigma).scales;
    }

    /// The correlation of the free parameters from (JᵀJ)⁻¹, through the singular values of J
    /// with unit-length columns (badly scaled parameters keep their digits); NaN where J has no
    /// full column rank.
    Eigen::MatrixXd correlationOf(const Eigen::Ref<const Eigen::MatrixXd>& j)
    {
        const Eigen::Index n = j.cols();
        Eigen::VectorXd lengths = j.colwise().norm().transpose();
        if (n == 0 || (lengths.array() == 0.0).any())
            return Eigen::MatrixXd::Constant(n, n, kNaN);
        const Eigen::MatrixXd scaled = j * lengths.cwiseInverse().asDiagonal();
        // BDCSVD: accurate for tall matrices, and the rank test comes with it.
        const Eigen::BDCSVD<Eigen::MatrixXd> svd(scaled, Eigen::ComputeThinV);
        const Eigen::VectorXd& sigma = svd.singularValues();
        const double floor
            = sigma(0) * static_cast<double>(j.rows()) * std::numeric_limits<double>::epsilon();
        if (!(sigma(n - 1) > floor))
            return Eigen::MatrixXd::Constant(n, n, kNaN);
        const Eigen::MatrixXd half = svd.matrixV() * sigma.cwiseInverse().asDiagonal();
        const Eigen::MatrixXd inverse = half * half.transpose();
        const Eigen::VectorXd d = inverse.diagonal().cwiseSqrt().cwiseInverse();
        return d.asDiagonal() * inverse * d.asDiagonal();
    }

    /// The first group where the formula is not finite at p, as a sentence; empty when none.
    std::string firstNonFiniteGroup(const EquationResiduals& residuals, const Tape& tape,
        const EquationData& data, std::span<const double> p)
    {
        const std::vector<double> values = residuals.values(p);
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (std::isfinite(values[i]))
                continue;
            std::string where;
            const std::vector<std::string> names = tape.variableNames();
            for (std::size_t v = 0; v < names.size(); ++v)
                where
                    += (v == 0 ? "" : ", ") + names[v] + " = " + numberWords(data.variables[v][i]);
            return "the formula is not finite at the start values from group "
                + std::to_string(i + 1) + " (" + where + ") on";
        }
        return {};
    }

    void addWarnings(EquationResult& result, const Tape& tape, const EquationSetup& setup,
        const analysis::DriverResult& end)
    {
        for (std::size_t i = 0; i < setup.parameters.size(); ++i) {
            if (!setup.startGiven[i])
                result.warnings.push_back(
                    tape.parameters[i] + " had no start value given; it started at 1");
        }
        int column = 0;
        for (std::size_t i = 0; i < setup.parameters.size(); ++i) {
            const analysis::ParameterSetup& p = setup.parameters[i];
            if (p.fixed)
                continue;
            if (end.jacobian.rows() > 0 && end.jacobian.col(column).norm() == 0.0)
                result.warnings.push_back("the formula does not depend on " + tape.parameters[i]
                    + " at the end: its derivative is 0 for every group");
            if (end.atBound[i])
                result.warnings.push_back(tape.parameters[i] + " ended on its bound ("
                    + numberWords(std::abs(result.parameters[i].value - p.lower)
                                <= std::abs(result.parameters[i].value - p.upper)
                            ? p.lower
                            : p.upper)
                    + ")");
            ++column;
        }
        if (!end.converged && !end.cancelled && !end.hint.empty())
            result.warnings.push_back(
                "the fit did not converge: " + end.stopReason + "; " + end.hint);
    }

    /// The statistics of the free parameters on the weighted groups (the fit's own measure).
    analysis::FitSummary summaryOf(const Tape& tape, const EquationData& data,
        const EquationSetup& setup, const std::vector<double>& scales,
        const std::vector<double>& fitted, const Eigen::MatrixXd& jacobian,
        std::span<const double> p)
    {
        Eigen::VectorXd weightedY(static_cast<Eigen::Index>(data.groups()));
        Eigen::VectorXd weightedFit(weightedY.size());
        for (std::size_t i = 0; i < data.groups(); ++i) {
            weightedY(static_cast<Eigen::Index>(i)) = scales[i] * data.y[i];
            weightedFit(static_cast<Eigen::Index>(i)) = scales[i] * fitted[i];
        }
        std::vector<std::string> names;
        std::vector<double> values;
        for (std::size_t i = 0; i < setup.parameters.size(); ++i) {
            if (!setup.parameters[i].fixed) {
                names.push_back(tape.parameters[i]);
                values.push_back(p[i]);
            }
        }
        return analysis::summarize({ jacobian, jacobian, weightedY, weightedFit, names, values,
            static_cast<int>(names.size()) });
    }

    /// Every parameter in the formula's order; a fixed one has no uncertainty.
    std::vector<EquationParameter> parametersOf(const Tape& tape, const EquationSetup& setup,
        const analysis::FitSummary& summary, std::span<const double> p,
        const std::vector<bool>& atBound)
    {
        std::vector<EquationParameter> parameters;
        for (std::size_t i = 0, j = 0; i < setup.parameters.size(); ++i) {
            EquationParameter parameter;
            parameter.name = tape.parameters[i];
            parameter.start = setup.parameters[i].start;
            parameter.value = p[i];
            parameter.fixed = setup.parameters[i].fixed;
            parameter.atBound = atBound[i];
            if (parameter.fixed) {
                parameter.standardError = parameter.ciLow = parameter.ciHigh = kNaN;
                parameter.t = parameter.p = kNaN;
            } else {
                const analysis::ParameterEstimate& estimate = summary.parameters[j++];
                parameter.standardError = estimate.standardError;
                parameter.ciLow = estimate.ciLow;
                parameter.ciHigh = estimate.ciHigh;
                parameter.t = estimate.t;
                parameter.p = estimate.p;
            }
            parameters.push_back(parameter);
        }
        return parameters;
    }

} // namespace

std::string refusalOf(const Tape& tape, const EquationData& data, const EquationSetup& setup)
{
    if (tape.parameters.empty())
        return "the formula has no parameter to fit";
    const int free = freeCount(setup);
    if (free == 0)
        return "every parameter is fixed: there is nothing to fit";
    if (data.groups() < static_cast<std::size_t>(free))
        return "there are " + std::to_string(data.groups()) + " groups for " + std::to_string(free)
            + " free parameters: a fit needs at least as many groups as free parameters";
    const RowScales scales = rowScales(setup.weighting, data.y, data.sigma);
    return scales.error;
}

EquationResult fitEquation(const Tape& tape, const EquationData& data, const EquationSetup& setup,
    const analysis::DriverControl& control)
{
    const std::vector<double> scales = scalesOf(data, setup);
    const EquationResiduals residuals(tape, data, scales);
    const analysis::DriverResult end
        = analysis::fitLeastSquares(residuals, setup.parameters, control);
    EquationResult result;
    result.groups = data.groups();
    result.iterations = end.iterations;
    result.evaluations = end.evaluations;
    result.converged = end.converged;
    result.cancelled = end.cancelled;
    result.stopReason = end.stopReason;
    result.hint = end.hint;
    const std::span<const double> p(
        end.parameters.data(), static_cast<std::size_t>(end.parameters.size()));
    result.fitted = residuals.values(p);
    result.residuals.resize(data.groups());
    for (std::size_t i = 0; i < data.groups(); ++i)
        result.residuals[i] = data.y[i] - result.fitted[i];
    const analysis::FitSummary summary
        = summaryOf(tape, data, setup, scales, result.fitted, end.jacobian, p);
    result.dof = summary.dof;
    result.sse = summary.sse;
    result.residualSd = summary.residualSd;
    result.rSquared = summary.rSquared;
    result.adjustedRSquared = summary.adjustedRSquared;
    result.aicc = summary.aicc;
    result.bic = summary.bic;
    result.conditionNumber = summary.conditionNumber;
    result.correlation = correlationOf(end.jacobian);
    result.parameters = parametersOf(tape, setup, summary, p, end.atBound);
    if (!end.finiteStart) {
        std::vector<double> start;
        for (const analysis::ParameterSetup& s : setup.parameters)
            start.push_back(s.start);
        const std::string where = firstNonFiniteGroup(residuals, tape, data, start);
        result.warnings.push_back(where.empty() ? end.stopReason : where);
    }
    addWarnings(result, tape, setup, end);
    return result;
}

} // namespace quantem::equation
