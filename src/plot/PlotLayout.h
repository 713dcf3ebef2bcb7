#pragma once

#include "plot/FitPlot.h"

#include <Eigen/Dense>
#include <string>
#include <vector>

namespace quantem::plot {

/// What a fit gives its plot before the options place it on axes: the samples (x, or the fitted
/// value for a model of several variables), their residuals, the model along a grid of x with
/// the half-widths of its bands (empty when not shown), the default titles and the notes so far.
struct PlotContent
{
    PlotKind kind = PlotKind::Curve;
    std::string title;
    std::string xName;
    std::string yName;
    std::string curveLabel;
    std::vector<double> sampleX;
    std::vector<double> sampleY;
    std::vector<double> residuals;
    std::vector<double> curveX;
    std::vector<double> curveY;
    std::vector<double> confidence;
    std::vector<double> prediction;
    std::vector<std::string> notes;
};

/// How well a fit knows its parameters, for its bands.
struct FitUncertainty
{
    Eigen::MatrixXd covariance; // of the free parameters
    double residualSd = 0.0;
    int dof = 0;
    bool weighted = false; // a new measurement's spread is not s: no prediction band
    std::string unknownParameter; // a free parameter without a standard error, empty if none
};

/// The grid of the curve: evenly spaced on the x axis's scale over the samples' x range that the
/// axis shows; empty when it shows none.
std::vector<double> curveGridOver(const std::vector<double>& sampleX, AxisScale scale);

/// Sets the band half-widths of content from the model's gradients at the curve's x, as the
/// options ask for them, or notes why a band is not shown.
void addBands(PlotContent& content, const Eigen::Ref<const Eigen::MatrixXd>& gradients,
    const FitUncertainty& uncertainty, const PlotOptions& options);

/// The plot of content on the axes the options ask for: points a log axis cannot show are left
/// out (with a note saying how many), the axes cover what is shown, the legend names each part.
FitPlot layOutPlot(const PlotContent& content, const PlotOptions& options);

} // namespace quantem::plot
