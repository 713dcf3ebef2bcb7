#include "engine_power/TermSums.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace quantem::power {

namespace {

    bool sameBits(double a, double b)
    {
        return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
    }

    bool sameFactor(const core::Factor& a, const core::Factor& b)
    {
        return a.kind == b.kind && a.variable == b.variable && a.exponent == b.exponent
            && sameBits(a.offset, b.offset);
    }

} // namespace

TermSums::TermSums(std::span<const core::Term> terms, const PreparedGroups& groups)
    : m_groups(groups)
    , m_width(terms.size() + 2)
    , m_sums(m_width * m_width, 0.0)
{
    m_factors.reserve(18);
    for (const core::Term& term : terms) {
        TermColumn column;
        for (int f = 0; f < term.count; ++f)
            column.factors.push_back(factorOf(term.factors[static_cast<std::size_t>(f)]));
        m_terms.push_back(std::move(column));
    }
    // The sums of the constant and y alone depend on the data only. As addGroup takes them:
    // Σy² first, then 1·1 and 1·y, in single precision for four-number groups.
    const std::size_t yColumn = m_width - 1;
    double count = 0.0;
    double sumY = 0.0;
    double sumYY = 0.0;
    for (double y : m_groups.y) {
        if (m_groups.singleY) {
            const float yy = static_cast<float>(y * y);
            sumYY = static_cast<float>(static_cast<float>(sumYY) + yy);
            const float y1 = static_cast<float>(1.0 * y);
            sumY = static_cast<float>(static_cast<float>(sumY) + y1);
        } else {
            sumYY += y * y;
            sumY += 1.0 * y;
        }
        count += 1.0 * 1.0;
    }
    sum(0, 0) = count;
    sum(0, yColumn) = sumY;
    m_sumYY = sumYY;
}

std::size_t TermSums::factorOf(const core::Factor& factor)
{
    // A factor that several terms share (x1^k1 in x1^k1 and x1^k1·x2^k3) is computed once.
    for (std::size_t i = 0; i < m_factors.size(); ++i) {
        if (sameFactor(m_factors[i].factor, factor))
            return i;
    }
    m_factors.push_back(FactorColumn { factor, false, 0.0, {} });
    return m_factors.size() - 1;
}

const std::vector<double>& TermSums::variable(int number) const
{
    return number == 1 ? m_groups.x1 : number == 2 ? m_groups.x2 : m_groups.x3;
}

void TermSums::computeFactor(FactorColumn& column, double exponent)
{
    const std::vector<double>& x = variable(column.factor.variable);
    std::vector<double>& values = column.values;
    values.resize(x.size());
    switch (column.factor.kind) {
    case core::Factor::Kind::Variable:
        values = x;
        break;
    case core::Factor::Kind::Reciprocal:
        for (std::size_t g = 0; g < x.size(); ++g)
            values[g] = 1.0 / x[g];
        break;
    case core::Factor::Kind::Power:
        for (std::size_t g = 0; g < x.size(); ++g)
            values[g] = std::pow(x[g], exponent);
        break;
    case core::Factor::Kind::Log:
        for (std::size_t g = 0; g < x.size(); ++g)
            values[g] = std::log(x[g]);
        break;
    case core::Factor::Kind::Exp:
        for (std::size_t g = 0; g < x.size(); ++g)
            values[g] = std::exp(x[g]);
        break;
    }
    column.exponent = exponent;
    column.valid = true;
}

void TermSums::update(const ExponentSet& exponents)
{
    std::vector<bool> factorChanged(m_factors.size(), false);
    for (std::size_t f = 0; f < m_factors.size(); ++f) {
        FactorColumn& column = m_factors[f];
        double exponent = 0.0;
        if (column.factor.kind == core::Factor::Kind::Power) {
            // The term offset is added where the term is formed; publication adds it back.
            exponent = exponents[static_cast<std::size_t>(column.factor.exponent - 1)]
                + column.factor.offset;
        }
        if (column.valid && sameBits(column.exponent, exponent))
            continue;
        computeFactor(column, exponent);
        factorChanged[f] = true;
    }

    std::vector<std::size_t> changed; // matrix indices (1 = the first term) of changed terms
    for (std::size_t t = 0; t < m_terms.size(); ++t) {
        TermColumn& term = m_terms[t];
        bool moved = m_first;
        for (std::size_t f : term.factors)
            moved = moved || factorChanged[f];
        if (!moved)
            continue;
        changed.push_back(t + 1);
        if (term.factors.size() == 1) {
            term.values = &m_factors[term.factors[0]].values;
            continue;
        }
        // The factors multiplied left to right as the term table writes them.
        const std::vector<double>& first = m_factors[term.factors[0]].values;
        term.product = first;
        for (std::size_t f = 1; f < term.factors.size(); ++f) {
            const std::vector<double>& next = m_factors[term.factors[f]].values;
            for (std::size_t g = 0; g < next.size(); ++g)
                term.product[g] = term.product[g] * next[g];
        }
        term.values = &term.product;
    }
    m_first = false;
    if (!changed.empty())
        computeSums(changed);
}

void TermSums::computeSums(const std::vector<std::size_t>& changed)
{
    const std::size_t n = m_groups.count();
    const std::size_t yColumn = m_width - 1;
    std::vector<bool> isChanged(m_width, false);
    for (std::size_t i : changed)
        isChanged[i] = true;
    auto columnOf = [&](std::size_t i) -> const double* {
        return i == 0 ? nullptr : m_terms[i - 1].values->data();
    };
    for (std::size_t i : changed) {
        // The partners of term i whose sums with it are not yet new: the constant, every term
        // that did not change, the changed terms from i on, and y.
        std::vector<std::size_t> partners;
        for (std::size_t j = 0; j < yColumn; ++j) {
            if (!isChanged[j] || j >= i)
                partners.push_back(j);
        }
        std::vector<const double*> columns;
        for (std::size_t j : partners)
            columns.push_back(columnOf(j));
        std::vector<double> totals(partners.size(), 0.0);
        double totalY = 0.0;
        const double* ui = columnOf(i);
        const double* y = m_groups.y.data();
        for (std::size_t g = 0; g < n; ++g) {
            const double u = ui[g];
            // Entry (r, c) takes u(c-1)·u(r-1) for each group in order; the constant is 1.
            for (std::size_t p = 0; p < partners.size(); ++p)
                totals[p] += (columns[p] == nullptr ? 1.0 : columns[p][g]) * u;
            totalY += u * y[g];
        }
        for (std::size_t p = 0; p < partners.size(); ++p) {
            const std::size_t j = partners[p];
            sum(std::min(i, j), std::max(i, j)) = totals[p];
        }
        sum(i, yColumn) = totalY;
    }
}

void TermSums::fill(linear::NormalSystem& system) const
{
    const int m = static_cast<int>(m_width) - 1;
    for (int r = 1; r <= m; ++r) {
        for (int c = 1; c <= m; ++c) {
            const auto i = static_cast<std::size_t>(std::min(r, c) - 1);
            const auto j = static_cast<std::size_t>(std::max(r, c) - 1);
            system.setEntry(r, c, m_sums[i * m_width + j]);
        }
        system.setEntry(r, m + 1, m_sums[static_cast<std::size_t>(r - 1) * m_width + m_width - 1]);
    }
    system.setSumYY(m_sumYY);
}

} // namespace quantem::power
