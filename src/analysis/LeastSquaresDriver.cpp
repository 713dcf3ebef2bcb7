#include "analysis/LeastSquaresDriver.h"

#include "analysis/Linearization.h"

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

        /// The residuals alone at u (a trial step needs no Jacobian); their sum of squares when
        /// the problem is compressed.
        const ResidualValues& valuesAt(const Eigen::VectorXd& u)
        {
            if (!(m_values && m_valuesU.size() == u.size() && m_valuesU == u)) {
                ++m_count;
                m_values = residualValues(m_model, m_transform, u);
                m_valuesU = u;
            }
            return *m_values;
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
        std::optional<ResidualValues> m_values;
        Eigen::VectorXd m_valuesU;
    };

    /// The free coordinates whose parameters are not held on a bound: a parameter on its bound
    /// is at a constrained optimum, where the transform's slope vanishes, so the last steps and
    /// the verdict leave it out.
    std::vector<Eigen::Index> activeColumns(
        const ParameterTransform& transform, const Eigen::VectorXd& u)
    {
        const Eigen::VectorXd p = transform.userValues(u);
        std::vector<Eigen::Index> active;
        for (int j = 0; j < transform.freeCount(); ++j)
            if (!transform.atBound(transform.userIndex(j), p(transform.userIndex(j))))
                active.push_back(j);
        return active;
    }

    struct Functor : Eigen::DenseFunctor<double>
    {
        Functor(Evaluations& e, int n, Eigen::Index m)
            : Eigen::DenseFunctor<double>(n, static_cast<int>(m))
            , evaluations(e)
        {
        }

        /// The residuals at a trial point: what the solver reads of them is their norm, and the
        /// whole vector only once the point is taken, when df puts the linearised one in place.
        int operator()(const InputType& u, ValueType& f) const
        {
            if (evaluations.mustStop())
                return -1;
            const ResidualValues& v = evaluations.valuesAt(u);
            // A point where the model is not finite counts as a huge increase: the step is
            // refused and the trust region shrinks.
            if (!v.finite)
                f.setConstant(values(), kOverflowResidual);
            else if (v.f.size() == values())
                f = v.f;
            else {
                f.setZero(values());
                f(0) = std::sqrt(v.sse);
            }
            return 0;
        }

        int df(const InputType& u, JacobianType& j) const
        {
            if (evaluations.cancelled())
                return -1;
            const Linearization& l = evaluations.at(u);
            j = l.jacobian;
            // The residuals that belong to this Jacobian: compressed, the norm alone that the
            // trial step left would not do.
            if (l.finite)
                solver->fvec() = l.f;
            return 0;
        }

        Evaluations& evaluations;
        Eigen::LevenbergMarquardt<Functor>* solver = nullptr;
    };

    struct RunEnd
    {
        Eigen::VectorXd u;
        double sse = std::numeric_limits<double>::infinity();
        Status status = Status::NotStarted;
    };

    RunEnd runSolver(Evaluations& evaluations, Eigen::VectorXd u, double factor, Eigen::Index rows,
        double tolerance, const DriverControl& control, int& iterations)
    {
        Functor functor(evaluations, static_cast<int>(u.size()), rows);
        Eigen::LevenbergMarquardt<Functor> lm(functor);
        functor.solver = &lm;
        lm.setFactor(factor);
        // Whether the solver's end is a minimum is judged afterwards, whatever stopped it.
        lm.setFtol(tolerance);
        lm.setXtol(tolerance);
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
        if (!evaluations.cancelled())
            end.sse = evaluations.valuesAt(u).sse;
        return end;
    }

    /// Gauss-Newton steps from u while each is shorter than the one before and does not raise
    /// the sum of squares beyond its rounding: near a minimum they converge quadratically where
    /// the trust region creeps. The sum of squares is flat there (a parameter off by 1E-8 of
    /// itself moves it by about 1E-16), so it cannot judge the last steps; their shrinking can.
    Eigen::VectorXd polish(Evaluations& evaluations, const ParameterTransform& transform,
        Eigen::VectorXd u, double dataScale, int& iterations)
    {
        Linearization here = evaluations.at(u);
        const std::vector<Eigen::Index> active = activeColumns(transform, u);
        double lastStep = std::numeric_limits<double>::infinity();
        for (int step = 0; step < 50 && here.finite && !evaluations.mustStop() && !active.empty();
             ++step) {
            // Pivoted: a Jacobian of low numerical rank still gives a bounded step.
            const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(here.jacobian(Eigen::all, active));
            const Eigen::VectorXd d = -qr.solve(here.f);
            const double size = d.norm();
            if (!d.allFinite() || !(size < lastStep) || size == 0.0)
                break;
            Eigen::VectorXd trial = u;
            trial(active) += d;
            const Linearization& next = evaluations.at(trial);
            // What rounding the residuals (each to a few units of the last place of the data)
            // can do to the sum of squares.
            const double rounding = std::max(1e-13 * here.sse,
                64.0 * std::numeric_limits<double>::epsilon() * dataScale * std::sqrt(here.sse));
            if (!next.finite || !(next.sse <= here.sse + rounding))
                break;
            u = trial;
            here = next;
            ++iterations;
            // A step barely shorter than the one before has reached the noise of the
            // residuals (or a slow valley the solver already walked): more gain nothing.
            if (size > 0.9 * lastStep)
                break;
            lastStep = size;
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
        bool polished = false; // what a step could still remove is below 1E-9 of the residuals
    };

    Verdict judge(const Linearization& l, const std::vector<Eigen::Index>& active, double dataScale)
    {
        Verdict verdict;
        if (!l.finite || !l.f.allFinite())
            return verdict;
        const Eigen::MatrixXd jacobian = l.jacobian(Eigen::all, active);
        const auto n = static_cast<Eigen::Index>(active.size());
        if (n == 0) {
            verdict.stationary = verdict.fullRank = verdict.polished = true;
            return verdict;
        }
        Eigen::VectorXd lengths = jacobian.colwise().norm().transpose();
        for (double& length : lengths)
            if (length == 0.0)
                length = 1.0;
        const Eigen::MatrixXd scaled = jacobian * lengths.cwiseInverse().asDiagonal();
        Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(scaled);
        // Columns of unit length: a rank below n means that some parameter's effect is lost
        // among the others' to about eight digits.
        qr.setThreshold(1e-10);
        verdict.fullRank = qr.rank() == n;
        const Eigen::VectorXd qtf = qr.householderQ().adjoint() * l.f;
        const double removable = qtf.head(qr.rank()).norm();
        const double residual = l.f.norm();
        verdict.stationary = removable <= 1e-6 * residual || removable <= 1e-13 * dataScale;
        verdict.polished = removable <= 1e-9 * residual || removable <= 1e-13 * dataScale;
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

    // Rows times free parameters up to which every step bound is tried: a few milliseconds.
    constexpr double kExhaustiveWork = 2e5;

} // namespace

DriverResult fitLeastSquares(
    const ResidualModel& model, std::span<const ParameterSetup> setup, const DriverControl& control)
{
    const ParameterTransform transform(setup);
    const int n = transform.freeCount();
    DriverResult result;
    Eigen::VectorXd u = transform.freeStart();
    // known: the end's linearisation by the free vector, which without bounds is the user's.
    auto finish = [&](const Eigen::VectorXd& end, const Linearization* known = nullptr) {
        result.parameters = transform.userValues(end);
        result.atBound.resize(setup.size());
        for (int i = 0; i < transform.parameterCount(); ++i)
            result.atBound[static_cast<std::size_t>(i)]
                = transform.atBound(i, result.parameters(i));
        const Linearization user = known != nullptr && !transform.bounded()
            ? *known
            : linearize(model, transform, end, Derivatives::ByUserParameters);
        result.jacobian = user.jacobian;
        result.sse = user.finite ? user.sse : std::numeric_limits<double>::infinity();
        return result;
    };
    if (n == 0 || model.residualCount() < n) {
        result.stopReason
            = n == 0 ? "every parameter is fixed" : "fewer groups than free parameters";
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
    // end is restarted with a fresh trust region, then polished. Where a run costs little every
    // step bound runs; on many groups the first run whose end is a minimum settles the fit.
    const bool exhaustive = static_cast<double>(model.residualCount()) * n <= kExhaustiveWork;
    const double tolerance
        = control.tolerance > 0.0 ? control.tolerance : (exhaustive ? 1e-10 : 1.5e-8);
    RunEnd best;
    bool settled = false;
    for (const double factor : control.stepBounds) {
        RunEnd end = runSolver(evaluations, u, factor, rows, tolerance, control, result.iterations);
        if (end.sse < best.sse)
            best = std::move(end);
        if (evaluations.mustStop())
            break;
        if (!exhaustive && best.u.size() > 0) {
            // An end that Gauss-Newton steps could not improve visibly is taken as it is.
            Verdict verdict = judge(
                evaluations.at(best.u), activeColumns(transform, best.u), model.dataScale());
            if (!(verdict.polished && verdict.fullRank)) {
                best.u
                    = polish(evaluations, transform, best.u, model.dataScale(), result.iterations);
                verdict = judge(
                    evaluations.at(best.u), activeColumns(transform, best.u), model.dataScale());
            }
            if (verdict.stationary && verdict.fullRank) {
                settled = true;
                break;
            }
        }
    }
    if (control.restart && !settled && !evaluations.mustStop() && best.u.size() > 0) {
        RunEnd again
            = runSolver(evaluations, best.u, 100.0, rows, tolerance, control, result.iterations);
        if (again.sse < best.sse)
            best = std::move(again);
    }
    if (evaluations.cancelled()) {
        result.cancelled = true;
        result.evaluations = evaluations.count();
        result.stopReason = "cancelled";
        return finish(best.u.size() > 0 ? best.u : u);
    }
    const Eigen::VectorXd end = settled
        ? best.u
        : polish(evaluations, transform, best.u.size() > 0 ? best.u : u, model.dataScale(),
            result.iterations);
    const Linearization& atEnd = evaluations.at(end);
    const Verdict verdict = judge(atEnd, activeColumns(transform, end), model.dataScale());
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
    return finish(end, &atEnd);
}

} // namespace quantem::analysis
