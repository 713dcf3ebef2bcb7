#include "analysis/LeastSquaresDriver.h"

#include "analysis/Linearization.h"
#include "analysis/ProjectedResiduals.h"

#include <cmath>
#include <limits>
#include <optional>
#include <unsupported/Eigen/LevenbergMarquardt>

namespace quantem::analysis {

namespace {

    using Status = Eigen::LevenbergMarquardtSpace::Status;

    /// Every evaluation of the fit goes through here: it keeps the last point (the solver asks
    /// for the Jacobian where it last evaluated the residuals), counts, and says when to stop.
    class Evaluations
    {
    public:
        Evaluations(const ResidualModel& model, const ParameterTransform& transform,
            const DriverControl& control, int limit)
            : m_model(model)
            , m_transform(transform)
            , m_control(control)
            , m_limit(limit)
        {
        }

        const Linearization& at(const Eigen::VectorXd& u)
        {
            if (m_last && m_lastU.size() == u.size() && m_lastU == u)
                return *m_last;
            ++m_count;
            m_last = linearize(m_model, m_transform, u, Derivatives::ByFreeVector);
            m_lastU = u;
            return *m_last;
        }

        bool cancelled() const
        {
            return (m_control.cancel != nullptr && m_control.cancel->load())
                || (m_control.stopRequested && m_control.stopRequested());
        }
        bool exhausted() const { return m_count >= m_limit; }
        bool mustStop() const { return cancelled() || exhausted(); }
        int count() const { return m_count; }
        int remaining() const { return std::max(1, m_limit - m_count); }

    private:
        const ResidualModel& m_model;
        const ParameterTransform& m_transform;
        const DriverControl& m_control;
        int m_limit;
        int m_count = 0;
        std::optional<Linearization> m_last;
        Eigen::VectorXd m_lastU;
    };

    struct Functor : Eigen::DenseFunctor<double>
    {
        Functor(Evaluations& e, int n, Eigen::Index m)
            : Eigen::DenseFunctor<double>(n, static_cast<int>(m))
            , evaluations(e)
        {
        }

        int operator()(const InputType& u, ValueType& f) const
        {
            if (evaluations.mustStop())
                return -1;
            const Linearization& l = evaluations.at(u);
            // A point where the model is not finite counts as a huge increase: the step is
            // refused and the trust region shrinks.
            if (l.finite)
                f = l.f;
            else
                f.setConstant(values(), kOverflowResidual);
            return 0;
        }

        int df(const InputType& u, JacobianType& j) const
        {
            if (evaluations.cancelled())
                return -1;
            j = evaluations.at(u).jacobian;
            return 0;
        }

        Evaluations& evaluations;
    };

    struct RunEnd
    {
        Eigen::VectorXd u;
        double sse = std::numeric_limits<double>::infinity();
        Status status = Status::NotStarted;
    };

    RunEnd runSolver(Evaluations& evaluations, Eigen::VectorXd u, double factor, Eigen::Index rows,
        const DriverControl& control, int& iterations)
    {
        Functor functor(evaluations, static_cast<int>(u.size()), rows);
        Eigen::LevenbergMarquardt<Functor> lm(functor);
        lm.setFactor(factor);
        // Tight: the solver ends when no step gains anything in double precision, or at the
        // evaluation cap; whether its end is a minimum is judged afterwards.
        lm.setFtol(1e-15);
        lm.setXtol(1e-15);
        lm.setGtol(0.0);
        lm.setMaxfev(evaluations.remaining());
        RunEnd end;
        end.status = lm.minimizeInit(u);
        if (end.status == Status::NotStarted) {
            do {
                end.status = lm.minimizeOneStep(u);
                ++iterations;
                if (control.progress)
                    control.progress(iterations);
            } while (end.status == Status::Running);
        }
        end.u = u;
        if (!evaluations.cancelled()) {
            const Linearization& l = evaluations.at(u);
            end.sse = l.finite ? l.sse : std::numeric_limits<double>::infinity();
        }
        return end;
    }

    /// Gauss-Newton steps from u while each is shorter than the one before and does not raise
    /// the sum of squares beyond its rounding: near a minimum they converge quadratically where
    /// the trust region creeps. The sum of squares is flat there (a parameter off by 1E-8 of
    /// itself moves it by about 1E-16), so it cannot judge the last steps; their shrinking can.
    Eigen::VectorXd polish(
        Evaluations& evaluations, Eigen::VectorXd u, double dataScale, int& iterations)
    {
        Linearization here = evaluations.at(u);
        double lastStep = std::numeric_limits<double>::infinity();
        for (int step = 0; step < 50 && here.finite && !evaluations.mustStop(); ++step) {
            // Pivoted: a Jacobian of low numerical rank still gives a bounded step.
            const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(here.jacobian);
            const Eigen::VectorXd d = -qr.solve(here.f);
            const double size = d.norm();
            if (!d.allFinite() || !(size < lastStep) || size == 0.0)
                break;
            const Eigen::VectorXd trial = u + d;
            const Linearization& next = evaluations.at(trial);
            // What rounding the residuals (each to a few units of the last place of the data)
            // can do to the sum of squares.
            const double rounding = std::max(1e-13 * here.sse,
                64.0 * std::numeric_limits<double>::epsilon() * dataScale * std::sqrt(here.sse));
            if (!next.finite || !(next.sse <= here.sse + rounding))
                break;
            u = trial;
            here = next;
            lastStep = size;
            ++iterations;
        }
        return u;
    }

    /// What the end is: a stationary point when the part of the residuals that a step could
    /// still remove is negligible beside them (or beside the rounding of the data), with every
    /// parameter still determined.
    struct Verdict
    {
        bool stationary = false;
        bool fullRank = false;
    };

    Verdict judge(const Linearization& l, double dataScale)
    {
        Verdict verdict;
        if (!l.finite || !l.f.allFinite())
            return verdict;
        const Eigen::Index n = l.jacobian.cols();
        Eigen::VectorXd lengths = l.jacobian.colwise().norm().transpose();
        for (double& length : lengths)
            if (length == 0.0)
                length = 1.0;
        const Eigen::MatrixXd scaled = l.jacobian * lengths.cwiseInverse().asDiagonal();
        Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(scaled);
        // Columns of unit length: a rank below n means that some parameter's effect is lost
        // among the others' to about eight digits.
        qr.setThreshold(1e-10);
        verdict.fullRank = qr.rank() == n;
        const Eigen::VectorXd qtf = qr.householderQ().adjoint() * l.f;
        const double removable = qtf.head(qr.rank()).norm();
        const double residual = l.f.norm();
        verdict.stationary = removable <= 1e-6 * residual || removable <= 1e-13 * dataScale;
        return verdict;
    }

    std::string statusText(Status status)
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
            return "no step lowers the sum of squares in double precision";
        default:
            return "the solver stopped";
        }
    }

    int defaultLimit(int n) { return 2000 * (n + 1); }

} // namespace

DriverResult fitLeastSquares(
    const ResidualModel& model, std::span<const ParameterSetup> setup, const DriverControl& control)
{
    const ParameterTransform transform(setup);
    const int n = transform.freeCount();
    DriverResult result;
    Eigen::VectorXd u = transform.freeStart();
    auto finish = [&](const Eigen::VectorXd& end) {
        result.parameters = transform.userValues(end);
        result.atBound.resize(setup.size());
        for (int i = 0; i < transform.parameterCount(); ++i)
            result.atBound[static_cast<std::size_t>(i)] = transform.atBound(i, result.parameters(i));
        const Linearization user = linearize(model, transform, end, Derivatives::ByUserParameters);
        result.jacobian = user.jacobian;
        result.sse = user.finite ? user.sse : std::numeric_limits<double>::infinity();
        return result;
    };
    if (n == 0 || model.residualCount() < n) {
        result.stopReason = n == 0 ? "every parameter is fixed" : "fewer groups than free parameters";
        result.hint = "free a parameter or give more groups";
        return finish(u);
    }
    const int limit = control.evaluationLimit > 0 ? control.evaluationLimit : defaultLimit(n);
    Evaluations evaluations(model, transform, control, limit);
    const Eigen::Index rows = linearizedRows(model, n);
    if (!evaluations.at(u).finite) {
        result.finiteStart = false;
        result.evaluations = evaluations.count();
        result.stopReason = "the model is not finite at the start values";
        result.hint = "choose start values where the formula can be evaluated for every group";
        return finish(u);
    }
    // From the start with a wide, a moderate and a narrow first step: a wide one crosses the
    // ridges of hard starts, a narrow one keeps out of the far valleys they lead to. The lowest
    // end is restarted with a fresh trust region, then polished.
    RunEnd best;
    for (const double factor : { 100.0, 1.0, 0.01 }) {
        RunEnd end = runSolver(evaluations, u, factor, rows, control, result.iterations);
        if (end.sse < best.sse)
            best = std::move(end);
        if (evaluations.mustStop())
            break;
    }
    if (!evaluations.mustStop() && best.u.size() > 0) {
        RunEnd again = runSolver(evaluations, best.u, 100.0, rows, control, result.iterations);
        if (again.sse < best.sse)
            best = std::move(again);
    }
    if (evaluations.cancelled()) {
        result.cancelled = true;
        result.evaluations = evaluations.count();
        result.stopReason = "cancelled";
        return finish(best.u.size() > 0 ? best.u : u);
    }
    const Eigen::VectorXd end = polish(evaluations, best.u.size() > 0 ? best.u : u, model.dataScale(), result.iterations);
    const Verdict verdict = judge(evaluations.at(end), model.dataScale());
    result.evaluations = evaluations.count();
    result.converged = verdict.stationary && verdict.fullRank;
    result.stopReason = statusText(best.status);
    if (!verdict.fullRank) {
        result.stopReason += "; at the end some parameters cannot be told apart (the model "
                             "hardly changes with them or they trade off exactly)";
        result.hint = "fix one of the parameters that trade off, bound them, or start closer to "
                      "the expected values";
    } else if (!verdict.stationary) {
        result.stopReason += "; the end is not a minimum of the sum of squares";
        result.hint = evaluations.exhausted()
            ? "start closer to the expected values, or bound the parameters"
            : "start closer to the expected values, bound the parameters or fix one";
    }
    return finish(end);
}

} // namespace quantem::analysis
