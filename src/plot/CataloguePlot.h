#pragma once

#include "analysis/FitDetails.h"
#include "analysis/FitSnapshot.h"
#include "plot/EquationPlot.h"
#include "plot/FitPlot.h"

namespace quantem::plot {

/// A catalogue fit's published model at points given as one row per point, one column per
/// variable (positive ones for the power models): its values and its derivatives by every
/// coefficient and exponent (a0..ae, then k1..kk).
ModelAt catalogueAt(const analysis::FitSnapshot& fit, const Eigen::Ref<const Eigen::MatrixXd>& x);

/// The plot of a catalogue fit as its details publish it: y against x1 with the model's curve
/// and bands for a model of one variable, measured against fitted y otherwise; the residuals
/// below.
FitPlot cataloguePlot(const analysis::FitSnapshot& fit, const analysis::FitDetails& details,
    const PlotOptions& options);

} // namespace quantem::plot
