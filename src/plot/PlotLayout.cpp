#include "plot/PlotLayout.h"

#include "plot/Bands.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quantem::plot {

namespace {

    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    // Enough points that a curve looks smooth at a page's width, few enough to draw at once.
    constexpr int kCurvePoints = 400;

    std::string pointsWord(std::size_t count)
    {
        return std::to_string(count) + (count == 1 ? " point" : " points");
    }

    std::string leftOutNote(std::size_t count, const std::string& name, const char* axis)
    {
        return pointsWord(count) + " with " + name + " at or below 0 " + (count == 1 ? "is" : "are")
            + " left out: the log " + axis + " axis shows only values above 0.";
    }

    /// value when the scale can show it, NaN (a gap in a line) otherwise.
    double shownOrGap(double value, AxisScale scale)
    {
        return showable(value, scale) ? value : kNaN;
    }

    /// The samples both panels show: x on the x axis; y on the main panel's y axis.
    struct ShownSamples
    {
        Series main;
        Series residuals;
    };
    ShownSamples shownSamples(const PlotContent& content, const PlotOptions& options,
        const std::string& xName, const std::string& yName, std::vector<std::string>& notes)
    {
        ShownSamples shown;
        std::size_t xLeftOut = 0;
        std::size_t yLeftOut = 0;
        for (std::size_t i = 0; i < content.sampleX.size(); ++i) {
            const double x = content.sampleX[i];
            const double y = content.sampleY[i];
            if (!showable(x, options.xScale)) {
                xLeftOut += std::isfinite(x) ? 1 : 0;
                continue;
            }
            if (i < content.residuals.size() && std::isfinite(content.residuals[i])) {
                shown.residuals.x.push_back(x);
                shown.residuals.y.push_back(content.residuals[i]);
            }
            if (!showable(y, options.yScale)) {
                yLeftOut += std::isfinite(y) ? 1 : 0;
                continue;
            }
            shown.main.x.push_back(x);
            shown.main.y.push_back(y);
        }
        if (xLeftOut > 0)
            notes.push_back(leftOutNote(xLeftOut, xName, "x"));
        if (yLeftOut > 0)
            notes.push_back(leftOutNote(yLeftOut, yName, "y"));
        return shown;
    }

    /// The band's edges at the curve's x, gaps where the y axis cannot show them.
    Band bandOf(const PlotContent& content, const std::vector<double>& halfWidths, AxisScale scale,
        bool& clipped)
    {
        Band band;
        if (halfWidths.empty())
            return band;
        for (std::size_t i = 0; i < content.curveY.size(); ++i) {
            const double y = content.curveY[i];
            band.lower.push_back(shownOrGap(y - halfWidths[i], scale));
            band.upper.push_back(shownOrGap(y + halfWidths[i], scale));
            clipped
                = clipped || (std::isfinite(y - halfWidths[i]) && std::isnan(band.lower.back()));
        }
        return band;
    }

    void append(std::vector<double>& into, const std::vector<double>& values)
    {
        into.insert(into.end(), values.begin(), values.end());
    }

    std::vector<LegendEntry> legendOf(const FitPlot& plot, const std::string& curveLabel)
    {
        std::vector<LegendEntry> legend;
        legend.push_back({ LegendKind::Samples,
            "Data (" + std::to_string(plot.samples.x.size())
                + (plot.samples.x.size() == 1 ? " group)" : " groups)") });
        if (plot.kind == PlotKind::MeasuredAgainstFitted)
            legend.push_back({ LegendKind::Identity, "Measured = fitted" });
        else
            legend.push_back({ LegendKind::Curve, curveLabel });
        if (plot.confidence.shown())
            legend.push_back({ LegendKind::ConfidenceBand, "95% confidence band" });
        if (plot.prediction.shown())
            legend.push_back({ LegendKind::PredictionBand, "95% prediction band" });
        return legend;
    }

} // namespace

std::vector<double> curveGridOver(const std::vector<double>& sampleX, AxisScale scale)
{
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (double x : sampleX) {
        if (showable(x, scale)) {
            low = std::min(low, x);
            high = std::max(high, x);
        }
    }
    if (!(low <= high))
        return {};
    return curveGrid(low, high, scale, kCurvePoints);
}

void addBands(PlotContent& content, const Eigen::Ref<const Eigen::MatrixXd>& gradients,
    const FitUncertainty& uncertainty, const PlotOptions& options)
{
    if (!options.confidenceBand && !options.predictionBand)
        return;
    if (uncertainty.dof < 1) {
        content.notes.push_back("No bands: the fit leaves no degrees of freedom.");
        return;
    }
    if (!uncertainty.unknownParameter.empty()) {
        content.notes.push_back("No bands: " + uncertainty.unknownParameter
            + " has no standard error (the fit cannot tell it apart from the other parameters).");
        return;
    }
    const BandWidths widths = bandHalfWidths(
        gradients, uncertainty.covariance, uncertainty.residualSd, uncertainty.dof);
    if (options.confidenceBand)
        content.confidence = widths.confidence;
    if (!options.predictionBand)
        return;
    if (uncertainty.weighted)
        content.notes.push_back("No prediction band: the fit is weighted, so the spread of a new "
                                "measurement depends on its weight.");
    else
        content.prediction = widths.prediction;
}

FitPlot layOutPlot(const PlotContent& content, const PlotOptions& options)
{
    FitPlot plot;
    plot.kind = content.kind;
    plot.title = content.title;
    plot.notes = content.notes;
    const std::string xName = options.xTitle.empty() ? content.xName : options.xTitle;
    const std::string yName = options.yTitle.empty() ? content.yName : options.yTitle;
    const ShownSamples shown = shownSamples(content, options, xName, yName, plot.notes);
    plot.samples = shown.main;

    if (content.kind == PlotKind::MeasuredAgainstFitted) {
        // The 1:1 line across every value either axis shows.
        std::vector<double> both = plot.samples.x;
        append(both, plot.samples.y);
        if (!both.empty()) {
            const auto [low, high] = std::minmax_element(both.begin(), both.end());
            plot.curve = { { *low, *high }, { *low, *high } };
        }
    } else {
        plot.curve.x = content.curveX;
        for (double y : content.curveY)
            plot.curve.y.push_back(shownOrGap(y, options.yScale));
        bool clipped = false;
        plot.confidence = bandOf(content, content.confidence, options.yScale, clipped);
        plot.prediction = bandOf(content, content.prediction, options.yScale, clipped);
        if (clipped)
            plot.notes.push_back("Where a band reaches 0 or below, the log y axis cannot show "
                                 "its lower edge.");
    }

    std::vector<double> xs = plot.samples.x;
    append(xs, plot.curve.x);
    append(xs, shown.residuals.x);
    std::vector<double> ys = plot.samples.y;
    append(ys, plot.curve.y);
    for (const Band* band : { &plot.confidence, &plot.prediction }) {
        append(ys, band->lower);
        append(ys, band->upper);
    }
    plot.x = axisOver(xs, options.xScale, xName);
    plot.y = axisOver(ys, options.yScale, yName);

    std::vector<double> residualValues = shown.residuals.y;
    residualValues.push_back(0.0); // the zero line is always in view
    plot.residuals.y = axisOver(residualValues, AxisScale::Linear, "Residual");
    plot.residuals.points = shown.residuals;
    plot.legend = legendOf(plot, content.curveLabel);
    return plot;
}

} // namespace quantem::plot
