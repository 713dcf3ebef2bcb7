#include "analysis/Refinement.h"

#include "analysis/LeastSquaresDriver.h"
#include "analysis/ModelDesign.h"
#include "analysis/ProjectedResiduals.h"
#include "analysis/SnapshotResiduals.h"
#include "analysis/StableSolve.h"
#include "core/TermTable.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tbb/parallel_for.h>

namespace quantem::analysis {

namespace {

    std::span<const double> spanOf(const Eigen::VectorXd& v)
    {
        return { v.data(), static_cast<std::size_t>(v.size()) };
    }

    double sumOfSquares(const FitSnapshot& fit, std::span<const double> coefficients,
        std::span<const double> exponents)
    {
        const Eigen::MatrixXd design = designMatrix(fit, exponents);
        const double sse = (fittedValues(design, coefficients) - fit.y).squaredNorm();
        return std::isfinite(sse) ? sse : std::numeric_limits<double>::infinity();
    }

    Refinement published(const FitSnapshot& fit)
    {
        Refinement result;
        result.coefficients = fit.coefficients;
        result.exponents = fit.exponents;
        result.startSse = sumOfSquares(fit, fit.coefficients, fit.exponents);
        result.sse = result.startSse;
        return result;
    }

    /// Accepts candidate when it lowers the published fit's sum of squares.
    void acceptIfLower(const FitSnapshot& fit, Refinement& result, std::vector<double> coefficients,
        std::vector<double> exponents)
    {
        const double sse = sumOfSquares(fit, coefficients, exponents);
        if (sse < result.startSse) {
            result.coefficients = std::move(coefficients);
            result.exponents = std::move(exponents);
            result.sse = sse;
            result.accepted = true;
        }
    }

    Refinement refineLinear(const FitSnapshot& fit)
    {
        Refinement result = published(fit);
        result.stopReason = "solved directly: the model is linear in its coefficients";
        std::vector<double> solution = stableSolve(designMatrix(fit, fit.exponents), fit.y);
        if (solution.empty()) {
            result.stopReason = "the design has no full rank";
            return result;
        }
        acceptIfLower(fit, result, std::move(solution), fit.exponents);
        return result;
    }

    /// Every parameter free and unbounded, from start.
    std::vector<ParameterSetup> freeFrom(const Eigen::VectorXd& start)
    {
        std::vector<ParameterSetup> setup(static_cast<std::size_t>(start.size()));
        for (std::size_t i = 0; i < setup.size(); ++i)
            setup[i].start = start(static_cast<Eigen::Index>(i));
        return setup;
    }

    /// The driver as the refinement runs it: its starts are close to an optimum, so one run from
    /// a wide first step without a restart, with a looser tolerance, at most limit
    /// evaluations. Progress goes on counting from done iterations.
    DriverControl driverControl(const RefineControl& control, int limit, int done)
    {
        DriverControl driver;
        driver.cancel = control.cancel;
        driver.evaluationLimit = limit;
        driver.stepBounds = { 100.0 };
        driver.restart = false;
        // Steps that move the parameters or the sum of squares by less than 1E-10 of themselves
        // gain nothing a statistic shows; the polish takes what remains.
        driver.tolerance = 1e-10;
        if (control.progress)
            driver.progress
                = [&control, done](int iteration) { control.progress(done + iteration); };
        return driver;
    }

    /// Where a search of the exponents ended: the projected sum of squares (infinity when the
    /// design lost its rank).
    struct ExponentSearch
    {
        Eigen::VectorXd exponents;
        double sse = std::numeric_limits<double>::infinity();
        int iterations = 0;
        bool cancelled = false;
    };

    /// The exponents alone from start, the coefficients following them.
    ExponentSearch searchExponents(
        const FitSnapshot& fit, const Eigen::VectorXd& start, const RefineControl& control)
    {
        const ProjectedResiduals projected(fit);
        const DriverResult end = fitLeastSquares(
            projected, freeFrom(start), driverControl(control, 100 * (fit.exponentCount() + 1), 0));
        ExponentSearch search;
        search.exponents = end.parameters;
        search.iterations = end.iterations;
        search.cancelled = end.cancelled;
        const Eigen::VectorXd a = projected.coefficientsFor(spanOf(search.exponents));
        if (a.size() > 0)
            search.sse = sumOfSquares(fit, spanOf(a), spanOf(search.exponents));
        return search;
    }

    /// A second start for the exponents: every exponent at one value (plus its term offset),
    /// the value among a few that the coefficients fit best. A search may end far from the
    /// optimum where one term mimics another (x2^4 for Exp(x2)); from a plain start the
    /// optimum is met more often.
    Eigen::VectorXd plainStart(const FitSnapshot& fit)
    {
        Eigen::VectorXd best;
        double bestSse = std::numeric_limits<double>::infinity();
        const ProjectedResiduals projected(fit);
        for (const double value : { 0.5, 1.0, 1.5, -0.5 }) {
            Eigen::VectorXd k(fit.exponentCount());
            for (int r = 1; r <= fit.exponentCount(); ++r)
                k(r - 1) = value + core::exponentOffset(fit.model->id, r);
            const Eigen::VectorXd a = projected.coefficientsFor(spanOf(k));
            const double sse = a.size() > 0 ? sumOfSquares(fit, spanOf(a), spanOf(k))
                                            : std::numeric_limits<double>::infinity();
            if (sse < bestSse) {
                bestSse = sse;
                best = k;
            }
        }
        return best;
    }

    /// Every start of the exponent searches, the published exponents first.
    std::vector<RefineStart> exponentStarts(
        const FitSnapshot& fit, const std::vector<RefineStart>& given)
    {
        std::vector<RefineStart> starts { { "the published fit", fit.exponents } };
        const Eigen::VectorXd plain = plainStart(fit);
        if (plain.size() > 0)
            starts.push_back({ "a plain start", std::vector<double>(plain.begin(), plain.end()) });
        for (const RefineStart& start : given) {
            if (start.exponents.size() == fit.exponents.size())
                starts.push_back(start);
        }
        return starts;
    }

} // namespace

Refinement refine(
    const FitSnapshot& fit, const RefineControl& control, const std::vector<RefineStart>& given)
{
    if (fit.isLinearFamily() || fit.exponentCount() == 0)
        return refineLinear(fit);

    Refinement result = published(fit);
    if (fit.groups() <= fit.parameterCount()) {
        result.stopReason = "too few groups for the parameters";
        return result;
    }
    // First the exponents alone (the coefficients solved for each set) from every start; then
    // everything together from the lowest end with the exact derivatives, which polishes the
    // last digits.
    const std::vector<RefineStart> starts = exponentStarts(fit, given);
    std::vector<ExponentSearch> ends(starts.size());
    // The starts are independent searches, side by side; each takes its sums whole and the
    // lowest is chosen in start order, so the result is the one a single thread would give.
    // Only the first reports progress (the hook is not shared between threads); all see the
    // cancel flag.
    RefineControl quiet;
    quiet.cancel = control.cancel;
    tbb::parallel_for(std::size_t { 0 }, starts.size(), [&](std::size_t i) {
        const std::vector<double>& k = starts[i].exponents;
        ends[i] = searchExponents(fit,
            Eigen::Map<const Eigen::VectorXd>(k.data(), static_cast<Eigen::Index>(k.size())),
            i == 0 ? control : quiet);
    });
    std::size_t bestIndex = 0;
    for (std::size_t i = 0; i < ends.size(); ++i) {
        result.iterations += ends[i].iterations;
        if (ends[i].cancelled) {
            result.stopReason = "cancelled";
            return result;
        }
        if (ends[i].sse < ends[bestIndex].sse)
            bestIndex = i;
    }
    const ExponentSearch& best = ends[bestIndex];

    Eigen::VectorXd x(fit.parameterCount());
    result.start = starts.front().name;
    if (best.sse < result.startSse) {
        result.start = starts[bestIndex].name;
        x << ProjectedResiduals(fit).coefficientsFor(spanOf(best.exponents)), best.exponents;
    } else {
        std::copy(fit.coefficients.begin(), fit.coefficients.end(), x.data());
        std::copy(fit.exponents.begin(), fit.exponents.end(), x.data() + fit.coefficients.size());
    }
    const SnapshotResiduals residuals(fit);
    const DriverResult end = fitLeastSquares(residuals, freeFrom(x),
        driverControl(control, 200 * (fit.parameterCount() + 1), result.iterations));
    result.iterations += end.iterations;
    result.stopReason = end.stopReason;
    if (end.cancelled)
        return result;
    const auto e = static_cast<std::ptrdiff_t>(fit.coefficients.size());
    const double* p = end.parameters.data();
    acceptIfLower(fit, result, std::vector<double>(p, p + e),
        std::vector<double>(p + e, p + end.parameters.size()));
    return result;
}

} // namespace quantem::analysis
