#include "analysis/ParameterTransform.h"

#include <algorithm>
#include <cmath>

namespace quantem::analysis {

namespace {

    bool hasLower(const ParameterSetup& s) { return std::isfinite(s.lower); }
    bool hasUpper(const ParameterSetup& s) { return std::isfinite(s.upper); }

    // How close to a bound a value counts as on it, and how far inside a start on a bound is
    // moved: the transforms are flat at their bounds, so a solver started there cannot move.
    double boundScale(const ParameterSetup& s)
    {
        if (hasLower(s) && hasUpper(s))
            return s.upper - s.lower;
        const double bound = hasLower(s) ? s.lower : s.upper;
        return std::max(1.0, std::abs(bound));
    }

    double toUser(const ParameterSetup& s, double u)
    {
        if (hasLower(s) && hasUpper(s))
            return s.lower + (s.upper - s.lower) * (std::sin(u) + 1.0) / 2.0;
        if (hasLower(s))
            return s.lower - 1.0 + std::sqrt(u * u + 1.0);
        if (hasUpper(s))
            return s.upper + 1.0 - std::sqrt(u * u + 1.0);
        return u;
    }

    double slope(const ParameterSetup& s, double u)
    {
        if (hasLower(s) && hasUpper(s))
            return (s.upper - s.lower) * std::cos(u) / 2.0;
        if (hasLower(s))
            return u / std::sqrt(u * u + 1.0);
        if (hasUpper(s))
            return -u / std::sqrt(u * u + 1.0);
        return 1.0;
    }

    double toFree(const ParameterSetup& s, double p)
    {
        if (hasLower(s) && hasUpper(s)) {
            const double t = std::clamp(2.0 * (p - s.lower) / (s.upper - s.lower) - 1.0, -1.0, 1.0);
            return std::asin(t);
        }
        if (hasLower(s)) {
            const double d = std::max(p - s.lower, 0.0) + 1.0;
            return std::sqrt(d * d - 1.0);
        }
        if (hasUpper(s)) {
            const double d = std::max(s.upper - p, 0.0) + 1.0;
            return std::sqrt(d * d - 1.0);
        }
        return p;
    }

} // namespace

ParameterTransform::ParameterTransform(std::span<const ParameterSetup> setup)
    : m_setup(setup.begin(), setup.end())
{
    for (std::size_t i = 0; i < m_setup.size(); ++i)
        if (!m_setup[i].fixed)
            m_free.push_back(static_cast<int>(i));
}

Eigen::VectorXd ParameterTransform::freeStart() const
{
    Eigen::VectorXd u(freeCount());
    for (int j = 0; j < freeCount(); ++j) {
        const ParameterSetup& s
            = m_setup[static_cast<std::size_t>(m_free[static_cast<std::size_t>(j)])];
        double p = std::clamp(s.start, s.lower, s.upper);
        const double inside = 1e-3 * boundScale(s);
        if (hasLower(s) && p - s.lower < inside)
            p = s.lower + std::min(inside, (s.upper - s.lower) / 2.0);
        if (hasUpper(s) && s.upper - p < inside)
            p = s.upper - std::min(inside, (s.upper - s.lower) / 2.0);
        u(j) = toFree(s, p);
    }
    return u;
}

Eigen::VectorXd ParameterTransform::userValues(const Eigen::Ref<const Eigen::VectorXd>& u) const
{
    Eigen::VectorXd p(parameterCount());
    for (int i = 0; i < parameterCount(); ++i)
        p(i) = m_setup[static_cast<std::size_t>(i)].start;
    for (int j = 0; j < freeCount(); ++j) {
        const int i = m_free[static_cast<std::size_t>(j)];
        p(i) = toUser(m_setup[static_cast<std::size_t>(i)], u(j));
    }
    return p;
}

Eigen::VectorXd ParameterTransform::slopes(const Eigen::Ref<const Eigen::VectorXd>& u) const
{
    Eigen::VectorXd d(freeCount());
    for (int j = 0; j < freeCount(); ++j)
        d(j) = slope(m_setup[static_cast<std::size_t>(m_free[static_cast<std::size_t>(j)])], u(j));
    return d;
}

Eigen::VectorXd ParameterTransform::freeFrom(const Eigen::Ref<const Eigen::VectorXd>& p) const
{
    Eigen::VectorXd u(freeCount());
    for (int j = 0; j < freeCount(); ++j) {
        const int i = m_free[static_cast<std::size_t>(j)];
        u(j) = toFree(m_setup[static_cast<std::size_t>(i)], p(i));
    }
    return u;
}

bool ParameterTransform::bounded() const
{
    for (const int i : m_free) {
        const ParameterSetup& s = m_setup[static_cast<std::size_t>(i)];
        if (hasLower(s) || hasUpper(s))
            return true;
    }
    return false;
}

bool ParameterTransform::atBound(int i, double value) const
{
    const ParameterSetup& s = m_setup[static_cast<std::size_t>(i)];
    if (s.fixed)
        return false;
    const double near = 1e-7 * boundScale(s);
    return (hasLower(s) && value - s.lower <= near) || (hasUpper(s) && s.upper - value <= near);
}

} // namespace quantem::analysis
