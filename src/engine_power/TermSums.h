#pragma once

#include "core/TermTable.h"
#include "engine_linear/NormalSystem.h"
#include "engine_power/ExponentSet.h"

#include <cstddef>
#include <span>
#include <vector>

namespace quantem::power {

/// The groups of a search after their offsets and nudges, as columns: the variables the model
/// has and y (already rounded to single for four-number groups).
struct PreparedGroups
{
    std::vector<double> x1;
    std::vector<double> x2;
    std::vector<double> x3;
    std::vector<double> y;
    bool singleY = false; // four-number groups: Σy and Σy² in single precision

    std::size_t count() const noexcept { return y.size(); }
};

/// The columns of a model's terms over the prepared groups and the sums of the normal equations
/// built from them, kept from one evaluation to the next. An update recomputes only the factors
/// whose exponent changed, and only the sums that involve a changed term; every kept sum is the
/// same sum over the same groups in the same order, so it is the same double.
///
/// Terms are formed with plain arithmetic: the groups are positive (the sample checks refuse the
/// rest), so the only fault a term can meet is an overflow, and a term that overflows makes its
/// own square's sum infinite or NaN, which NormalSystem::checkSums finds after the data pass.
class TermSums
{
public:
    TermSums(std::span<const core::Term> terms, const PreparedGroups& groups);

    /// Brings the columns and sums up to date for the exponents.
    void update(const ExponentSet& exponents);
    /// Puts the sums into a system begun for the model's terms.
    void fill(linear::NormalSystem& system) const;

private:
    struct FactorColumn
    {
        core::Factor factor;
        bool valid = false;
        double exponent = 0.0; // the exponent (with its offset) the values were computed with
        std::vector<double> values;
    };
    struct TermColumn
    {
        std::vector<std::size_t> factors; // into m_factors, left to right
        std::vector<double> product; // the column when the term has more than one factor
        const std::vector<double>* values = nullptr;
    };

    std::size_t factorOf(const core::Factor& factor);
    const std::vector<double>& variable(int number) const;
    void computeFactor(FactorColumn& column, double exponent);
    void computeSums(const std::vector<std::size_t>& changed);
    double& sum(std::size_t i, std::size_t j) { return m_sums[i * m_width + j]; }

    const PreparedGroups& m_groups;
    std::vector<FactorColumn> m_factors;
    std::vector<TermColumn> m_terms;
    std::size_t m_width = 0; // terms + 2: the constant, the terms, y
    std::vector<double> m_sums; // upper triangle (i <= j) of the constant and the terms, then y
    double m_sumYY = 0.0;
    bool m_first = true;
};

} // namespace quantem::power
