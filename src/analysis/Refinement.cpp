#include "analysis/Refinement.h"

#include "analysis/ModelDesign.h"
#include "analysis/ProjectedResiduals.h"
#include "analysis/StableSolve.h"
#include "core/TermTable.h"

#include <algorithm>
#include <cmath>
#include <tbb/parallel_invoke.h>
#include <unsupported/Eigen/LevenbergMarquardt>

namespace quantem::analysis {

namespace {

    std::span<const double> spanOf(const Eigen::VectorXd& v)
    {
        return { v.data(), static_cast<std::size_t>(v.size()) };
    }

    /// The residuals fitted - y and their derivatives; parameters a0..ae, k1..kk.
    struct Residuals : Eigen::DenseFunctor<double>
    {
        Residuals(const FitSnapshot& snapshot, const std::atomic<bool>* cancelFlag)
            : Eigen::DenseFunctor<double>(snapshot.parameterCount(), snapshot.groups())
            , fit(snapshot)
            , cancel(cancelFlag)
        {
        }

        std::span<const double> coefficientsOf(const InputType& x) const
        {
            return { x.data(), static_cast<std::size_t>(fit.terms) + 1 };
        }
        std::span<const double> exponentsOf(const InputType& x) const
        {
            return { x.data() + fit.terms + 1, static_cast<std::size_t>(fit.exponentCount()) };
        }

        /// The design at the exponents of x: the search asks for the derivatives where it last
        /// evaluated the residuals, so the last design is kept rather than formed again.
        const Eigen::MatrixXd& designAt(const InputType& x) const
        {
            const std::span<const double> k = exponentsOf(x);
            if (lastDesign.size() == 0
                || !std::equal(k.begin(), k.end(), lastExponents.begin(), lastExponents.end())) {
                lastExponents.assign(k.begin(), k.end());
                lastDesign = designMatrix(fit, k);
            }
            return lastDesign;
        }

        int operator()(const InputType& x, ValueType& residuals) const
        {
            if (cancel != nullptr && cancel->load())
                return -1;
            residuals = fittedValues(designAt(x), coefficientsOf(x)) - fit.y;
            for (double& r : residuals)
                if (!std::isfinite(r))
                    r = kOverflowResidual;
            return 0;
        }

        int df(const InputType& x, JacobianType& derivatives) const
        {
            derivatives = jacobian(fit, designAt(x), coefficientsOf(x), exponentsOf(x));
            for (double& d : derivatives.reshaped())
                if (!std::isfinite(d))
                    d = 0.0;
            return 0;
        }

        const FitSnapshot& fit;
        const std::atomic<bool>* cancel;
        mutable std::vector<double> lastExponents;
        mutable Eigen::MatrixXd lastDesign;
    };

    std::string stopReasonText(Eigen::LevenbergMarquardtSpace::Status status)
    {
        using namespace Eigen::LevenbergMarquardtSpace;
        switch (status) {
        case RelativeReductionTooSmall:
            return "the sum of squares stopped falling";
        case RelativeErrorTooSmall:
            return "the parameters stopped changing";
        case RelativeErrorAndReductionTooSmall:
            return "the sum of squares and the parameters stopped changing";
        case CosinusTooSmall:
            return "the residuals are orthogonal to every direction of change";
        case TooManyFunctionEvaluation:
            return "the evaluation limit was reached";
        case FtolTooSmall:
        case XtolTooSmall:
        case GtolTooSmall:
            return "no further progress is possible in double precision";
        case UserAsked:
            return "cancelled";
        case ImproperInputParameters:
            return "too few groups for the parameters";
        default:
            return "stopped";
        }
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

    using Status = Eigen::LevenbergMarquardtSpace::Status;

    /// Steps lm to its end, counting iterations and telling progress after each (stepped here
    /// rather than by minimize() for that reason).
    template <typename Solver>
    Status runSteps(Solver& lm, Eigen::VectorXd& x, const RefineControl& control, int& iterations)
    {
        Status status = lm.minimizeInit(x);
        if (status != Status::NotStarted)
            return status;
        do {
            status = lm.minimizeOneStep(x);
            ++iterations;
            if (control.progress)
                control.progress(iterations);
        } while (status == Status::Running);
        return status;
    }

    /// The exponents alone from start, the coefficients following them. Returns the projected
    /// sum of squares reached (infinity when the design lost its rank).
    double searchExponents(const FitSnapshot& fit, Eigen::VectorXd& k, const RefineControl& control,
        int& iterations, Status& status)
    {
        ProjectedResiduals projected(fit, control.cancel);
        Eigen::LevenbergMarquardt<ProjectedResiduals> lm(projected);
        lm.setMaxfev(100 * (fit.exponentCount() + 1));
        status = runSteps(lm, k, control, iterations);
        const Eigen::VectorXd a = ProjectedResiduals(fit, nullptr).coefficientsFor(spanOf(k));
        return a.size() > 0 ? sumOfSquares(fit, spanOf(a), spanOf(k))
                            : std::numeric_limits<double>::infinity();
    }

    /// A second start for the exponents: every exponent at one value (plus its term offset),
    /// the value among a few that the coefficients fit best. A search may end far from the
    /// optimum where one term mimics another (x2^4 for Exp(x2)); from a plain start the
    /// optimum is met more often.
    Eigen::VectorXd plainStart(const FitSnapshot& fit)
    {
        Eigen::VectorXd best;
        double bestSse = std::numeric_limits<double>::infinity();
        const ProjectedResiduals projected(fit, nullptr);
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

} // namespace

Refinement refine(const FitSnapshot& fit, const RefineControl& control)
{
    if (fit.isLinearFamily() || fit.exponentCount() == 0)
        return refineLinear(fit);

    Refinement result = published(fit);
    if (fit.groups() <= fit.parameterCount()) {
        result.stopReason = "too few groups for the parameters";
        return result;
    }
    // First the exponents alone (the coefficients solved for each set), from the published
    // exponents and from a plain start; then everything together from the better end with the
    // exact derivatives, which polishes the last digits.
    Eigen::VectorXd k = Eigen::Map<const Eigen::VectorXd>(
        fit.exponents.data(), static_cast<Eigen::Index>(fit.exponents.size()));
    Eigen::VectorXd other = plainStart(fit);
    double sse = std::numeric_limits<double>::infinity();
    double otherSse = std::numeric_limits<double>::infinity();
    Status status = Status::NotStarted;
    Status otherStatus = Status::NotStarted;
    int otherIterations = 0;
    // The two starts are independent searches, one per thread; each takes its sums whole, so
    // the result is the one a single thread would give. Only the first reports progress (the
    // hook is not shared between threads); both see the cancel flag.
    RefineControl quiet;
    quiet.cancel = control.cancel;
    tbb::parallel_invoke([&] { sse = searchExponents(fit, k, control, result.iterations, status); },
        [&] {
            if (other.size() > 0)
                otherSse = searchExponents(fit, other, quiet, otherIterations, otherStatus);
        });
    result.iterations += otherIterations;
    if (status == Status::UserAsked || otherStatus == Status::UserAsked) {
        result.stopReason = stopReasonText(Status::UserAsked);
        return result;
    }
    if (otherSse < sse) {
        k = other;
        sse = otherSse;
    }

    Eigen::VectorXd x(fit.parameterCount());
    if (sse < result.startSse) {
        x << ProjectedResiduals(fit, nullptr).coefficientsFor(spanOf(k)), k;
    } else {
        std::copy(fit.coefficients.begin(), fit.coefficients.end(), x.data());
        std::copy(fit.exponents.begin(), fit.exponents.end(), x.data() + fit.coefficients.size());
    }
    Residuals residuals(fit, control.cancel);
    Eigen::LevenbergMarquardt<Residuals> lm(residuals);
    lm.setMaxfev(200 * (fit.parameterCount() + 1));
    // Stops once a step moves the parameters or lowers the sum of squares by less than 1E-10 of
    // themselves: near the optimum of a flat valley each further step gains a few units of the
    // eleventh digit of the sum, which no statistic shown can tell apart.
    lm.setXtol(1e-10);
    lm.setFtol(1e-10);
    status = runSteps(lm, x, control, result.iterations);
    result.stopReason = stopReasonText(status);
    if (status == Status::UserAsked)
        return result;
    const auto e = static_cast<std::ptrdiff_t>(fit.coefficients.size());
    acceptIfLower(fit, result, std::vector<double>(x.data(), x.data() + e),
        std::vector<double>(x.data() + e, x.data() + x.size()));
    return result;
}

} // namespace quantem::analysis
