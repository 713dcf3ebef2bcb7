#include "analysis/Refinement.h"

#include "analysis/ModelDesign.h"
#include "analysis/StableSolve.h"

#include <cmath>
#include <unsupported/Eigen/LevenbergMarquardt>

namespace quantem::analysis {

namespace {

    /// Stands in for a residual that overflowed, so that a step into such a region counts as a
    /// large increase and is refused, while the sum of squares stays finite.
    constexpr double kOverflowResidual = 1e100;

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

        int operator()(const InputType& x, ValueType& residuals) const
        {
            if (cancel != nullptr && cancel->load())
                return -1;
            const Eigen::MatrixXd design = designMatrix(fit, exponentsOf(x));
            residuals = fittedValues(design, coefficientsOf(x)) - fit.y;
            for (double& r : residuals)
                if (!std::isfinite(r))
                    r = kOverflowResidual;
            return 0;
        }

        int df(const InputType& x, JacobianType& derivatives) const
        {
            const Eigen::MatrixXd design = designMatrix(fit, exponentsOf(x));
            derivatives = jacobian(fit, design, coefficientsOf(x), exponentsOf(x));
            for (double& d : derivatives.reshaped())
                if (!std::isfinite(d))
                    d = 0.0;
            return 0;
        }

        const FitSnapshot& fit;
        const std::atomic<bool>* cancel;
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
    Eigen::VectorXd x(fit.parameterCount());
    std::copy(fit.coefficients.begin(), fit.coefficients.end(), x.data());
    std::copy(fit.exponents.begin(), fit.exponents.end(), x.data() + fit.coefficients.size());

    Residuals residuals(fit, control.cancel);
    Eigen::LevenbergMarquardt<Residuals> lm(residuals);
    lm.setMaxfev(200 * (fit.parameterCount() + 1));
    // Relative tolerances a little above double rounding: the optimum is met to about as many
    // digits as its sum of squares can tell apart.
    lm.setXtol(1e-12);
    lm.setFtol(1e-14);
    // Stepped here rather than by minimize(), so that progress is told after every iteration.
    Eigen::LevenbergMarquardtSpace::Status status = lm.minimizeInit(x);
    if (status == Eigen::LevenbergMarquardtSpace::NotStarted) {
        do {
            status = lm.minimizeOneStep(x);
            ++result.iterations;
            if (control.progress)
                control.progress(result.iterations);
        } while (status == Eigen::LevenbergMarquardtSpace::Running);
    }
    result.stopReason = stopReasonText(status);
    if (status == Eigen::LevenbergMarquardtSpace::UserAsked)
        return result;
    const auto e = static_cast<std::ptrdiff_t>(fit.coefficients.size());
    acceptIfLower(fit, result, std::vector<double>(x.data(), x.data() + e),
        std::vector<double>(x.data() + e, x.data() + x.size()));
    return result;
}

} // namespace quantem::analysis
