#include "plot/CataloguePlot.h"

#include "analysis/ModelDesign.h"
#include "plot/Bands.h"
#include "plot/PlotLayout.h"

#include <cmath>

namespace quantem::plot {

namespace {

    FitUncertainty uncertaintyOf(
        const analysis::FitSnapshot& fit, const analysis::FitSummary& summary)
    {
        FitUncertainty uncertainty;
        uncertainty.residualSd = summary.residualSd;
        uncertainty.dof = summary.dof;
        for (const analysis::ParameterEstimate& p : summary.parameters)
            if (!std::isfinite(p.standardError) && uncertainty.unknownParameter.empty())
                uncertainty.unknownParameter = p.name;
        if (uncertainty.unknownParameter.empty())
            uncertainty.covariance
                = covarianceOf(catalogueAt(fit, fit.x).gradients, summary.residualSd);
        return uncertainty;
    }

} // namespace

ModelAt catalogueAt(const analysis::FitSnapshot& fit, const Eigen::Ref<const Eigen::MatrixXd>& x)
{
    // The same model on other groups: the design functions read only the snapshot's variables.
    analysis::FitSnapshot at;
    at.model = fit.model;
    at.terms = fit.terms;
    at.x = x;
    at.y = Eigen::VectorXd::Zero(x.rows());
    if (!fit.isLinearFamily())
        at.logX = x.array().log().matrix();
    const Eigen::MatrixXd design = analysis::designMatrix(at, fit.exponents);
    const Eigen::VectorXd values = analysis::fittedValues(design, fit.coefficients);
    ModelAt result;
    result.values.assign(values.begin(), values.end());
    result.gradients = analysis::jacobian(at, design, fit.coefficients, fit.exponents);
    return result;
}

FitPlot cataloguePlot(const analysis::FitSnapshot& fit, const analysis::FitDetails& details,
    const PlotOptions& options)
{
    PlotContent content;
    content.title
        = "Model " + std::to_string(fit.model->id) + ": " + std::string(fit.model->formulaText);
    content.yName = "y";
    for (const analysis::ResidualRow& row : details.residuals) {
        content.sampleY.push_back(row.y);
        content.residuals.push_back(row.residual);
    }
    if (fit.x.cols() != 1) {
        content.kind = PlotKind::MeasuredAgainstFitted;
        content.xName = "fitted y";
        for (const analysis::ResidualRow& row : details.residuals)
            content.sampleX.push_back(row.fitted);
        content.notes.push_back("The model has " + std::to_string(fit.x.cols())
            + " variables: measured y is shown against fitted y.");
        return layOutPlot(content, options);
    }
    content.xName = "x1";
    content.curveLabel = "Fitted model";
    content.sampleX.assign(fit.x.col(0).begin(), fit.x.col(0).end());
    content.curveX = curveGridOver(content.sampleX, options.xScale);
    const ModelAt at = catalogueAt(fit,
        Eigen::Map<const Eigen::MatrixXd>(
            content.curveX.data(), static_cast<Eigen::Index>(content.curveX.size()), 1));
    content.curveY = at.values;
    addBands(content, at.gradients, uncertaintyOf(fit, details.fit), options);
    return layOutPlot(content, options);
}

} // namespace quantem::plot
