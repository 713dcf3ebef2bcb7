#pragma once

#include "equation/EquationFit.h"
#include "plot/FitPlot.h"

#include <Eigen/Dense>
#include <vector>

namespace quantem::plot {

/// A model's values at some points and its derivatives there by the free parameters (one row
/// per point, the free parameters in the fit's order).
struct ModelAt
{
    std::vector<double> values;
    Eigen::MatrixXd gradients;
};

/// The fitted formula at points given as one column per variable (equal lengths). A domain
/// error leaves NaN or infinity there.
ModelAt equationAt(const equation::Tape& tape, const equation::EquationResult& result,
    const equation::EquationSetup& setup, const std::vector<std::vector<double>>& columns);

/// The covariance of an equation fit's free parameters, from their standard errors and
/// correlation.
Eigen::MatrixXd equationCovariance(const equation::EquationResult& result);

/// The plot of an equation fit: y against x with the fitted curve and its bands for a formula of
/// one variable, measured against fitted y otherwise; the residuals below.
FitPlot equationPlot(const equation::Tape& tape, const equation::EquationData& data,
    const equation::EquationResult& result, const equation::EquationSetup& setup,
    const PlotOptions& options);

} // namespace quantem::plot
