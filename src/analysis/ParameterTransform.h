#pragma once

#include <Eigen/Dense>
#include <limits>
#include <span>
#include <vector>

namespace quantem::analysis {

/// One parameter of a least-squares problem as the user set it up.
struct ParameterSetup
{
    double start = 1.0;
    bool fixed = false; // held at start; it leaves the free vector and the degrees of freedom
    double lower = -std::numeric_limits<double>::infinity();
    double upper = std::numeric_limits<double>::infinity();
};

/// Maps the solver's free, unbounded vector onto the user's parameters and back. A bounded
/// parameter goes through a smooth transform (sine between two bounds, a hyperbola against one),
/// so the solver never steps outside; its derivative is the chain-rule factor of the Jacobian.
class ParameterTransform
{
public:
    explicit ParameterTransform(std::span<const ParameterSetup> setup);

    int freeCount() const noexcept { return static_cast<int>(m_free.size()); }
    int parameterCount() const noexcept { return static_cast<int>(m_setup.size()); }
    /// The user's index of free parameter j.
    int userIndex(int j) const noexcept { return m_free[static_cast<std::size_t>(j)]; }

    /// The free vector of the start values; a start on a bound is moved just inside, where the
    /// transform still has a slope.
    Eigen::VectorXd freeStart() const;
    /// Every user parameter at the free vector u, fixed ones at their start.
    Eigen::VectorXd userValues(const Eigen::Ref<const Eigen::VectorXd>& u) const;
    /// d(user parameter)/du of each free parameter.
    Eigen::VectorXd slopes(const Eigen::Ref<const Eigen::VectorXd>& u) const;
    /// The free vector whose user values are p (p inside the bounds).
    Eigen::VectorXd freeFrom(const Eigen::Ref<const Eigen::VectorXd>& p) const;
    /// True when some free parameter has a bound: only then do the free vector's derivatives
    /// differ from the user's.
    bool bounded() const;
    /// True when user parameter i lies on one of its bounds, to the resolution of the transform.
    bool atBound(int i, double value) const;

private:
    std::vector<ParameterSetup> m_setup;
    std::vector<int> m_free;
};

} // namespace quantem::analysis
