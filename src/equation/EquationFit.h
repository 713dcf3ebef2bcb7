#pragma once

#include "analysis/LeastSquaresDriver.h"
#include "equation/Formula.h"
#include "equation/Weighting.h"

#include <Eigen/Dense>
#include <optional>
#include <string>
#include <vector>

namespace quantem::equation {

/// The groups of an equation fit, column by column: one column per variable of the formula,
/// then y, then sigma when the weighting reads it.
struct EquationData
{
    std::vector<std::vector<double>> variables;
    std::vector<double> y;
    std::vector<double> sigma;

    std::size_t groups() const noexcept { return y.size(); }
};

/// The setup of every parameter of the formula, in the formula's order.
struct EquationSetup
{
    std::vector<analysis::ParameterSetup> parameters;
    std::vector<bool> startGiven; // false: the start is the default 1
    Weighting weighting = Weighting::None;
};

/// One fitted parameter. The uncertainty fields are NaN for a fixed parameter and where the fit
/// cannot tell the parameter apart from the others.
struct EquationParameter
{
    std::string name;
    double start = 1.0;
    double value = 0.0;
    double standardError = 0.0;
    double ciLow = 0.0; // 95 %
    double ciHigh = 0.0;
    double t = 0.0;
    double p = 0.0;
    bool fixed = false;
    bool atBound = false;
};

/// What an equation fit reached, with its statistics (weighted residuals where weights are set).
struct EquationResult
{
    std::vector<EquationParameter> parameters;
    std::size_t groups = 0;
    int dof = 0; // groups - free parameters
    double sse = 0.0;
    double residualSd = 0.0;
    double rSquared = 0.0;
    double adjustedRSquared = 0.0;
    std::optional<double> aicc;
    std::optional<double> bic;
    double conditionNumber = 0.0;
    int iterations = 0;
    int evaluations = 0;
    bool converged = false;
    bool cancelled = false;
    std::string stopReason;
    std::string hint;
    std::vector<std::string> warnings; // sentences
    Eigen::MatrixXd correlation; // of the free parameters, in the formula's order
    std::vector<double> fitted; // per group
    std::vector<double> residuals; // y - fitted, unweighted
};

/// The first refusal of a fit before it starts: fewer groups than free parameters, a weight
/// that a group cannot take, no parameter to fit. Empty when the fit can run.
std::string refusalOf(const Tape& tape, const EquationData& data, const EquationSetup& setup);

/// Fits the formula to the data from the setup's start values on all cores (the same bits on
/// one). Call only when refusalOf is empty. Never throws.
EquationResult fitEquation(const Tape& tape, const EquationData& data, const EquationSetup& setup,
    const analysis::DriverControl& control = {});

} // namespace quantem::equation
