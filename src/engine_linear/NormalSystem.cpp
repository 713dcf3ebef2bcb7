#include "engine_linear/NormalSystem.h"

#include "core/CheckedMath.h"
#include "core/Fault.h"

#include <algorithm>
#include <cmath>
#include <tbb/parallel_for.h>
#include <thread>

namespace quantem::linear {

using core::checkFinite;
using core::divide;

void NormalSystem::begin(int regressors)
{
    m_m = regressors + 1;
    m_a.assign(static_cast<std::size_t>(m_m) * static_cast<std::size_t>(m_m + 1), 0.0);
    m_u.assign(static_cast<std::size_t>(m_m), 0.0);
    m_sumYY = 0.0;
}

void NormalSystem::addGroup(std::span<const double> regressors, double y, YPrecision precision)
{
    const int m = m_m;
    if (precision == YPrecision::Single) {
        // y·y and 1·y stay single: each product and each running sum is rounded to single.
        const float yy = static_cast<float>(y * y);
        m_sumYY = static_cast<float>(static_cast<float>(m_sumYY) + yy);
    } else {
        m_sumYY += y * y;
    }
    m_u[0] = 1.0;
    for (int k = 1; k < m; ++k)
        m_u[static_cast<std::size_t>(k)] = regressors[static_cast<std::size_t>(k - 1)];
    for (int r = 1; r <= m; ++r) {
        const double ur = m_u[static_cast<std::size_t>(r - 1)];
        for (int c = 1; c <= m; ++c)
            ref(r, c) += m_u[static_cast<std::size_t>(c - 1)] * ur;
        if (r == 1 && precision == YPrecision::Single) {
            const float y1 = static_cast<float>(ur * y);
            ref(1, m + 1) = static_cast<float>(static_cast<float>(ref(1, m + 1)) + y1);
        } else {
            ref(r, m + 1) += ur * y;
        }
    }
    // A sum that left the range stays infinite or NaN, so one look per group finds it.
    checkFinite(m_sumYY);
    for (double entry : m_a)
        checkFinite(entry);
}

namespace {

    // Below this many multiply-adds the rows are summed on the calling thread: handing work to
    // another thread would cost more than it saves.
    constexpr std::size_t kParallelWork = std::size_t { 1 } << 20;

    /// Sums the rows r = first, first + step, ... of the upper triangle (c >= r) and the y
    /// column over all groups in their order. row holds 1, u1..un, y for the group.
    void sumRows(std::span<const double> groups, std::size_t count, int m, int first, int step,
        std::vector<double>& entries)
    {
        const auto width = static_cast<std::size_t>(m + 1);
        std::vector<double> row(width + 1);
        row[0] = 1.0;
        for (std::size_t g = 0; g < count; ++g) {
            const double* group = groups.data() + g * static_cast<std::size_t>(m);
            for (int k = 0; k < m; ++k)
                row[static_cast<std::size_t>(k) + 1] = group[k];
            for (int r = first; r <= m; r += step) {
                const double ur = row[static_cast<std::size_t>(r - 1)];
                double* entry = entries.data() + static_cast<std::size_t>(r - 1) * width;
                // Entry (r, c) gets u(c-1)·u(r-1) as one product, in group order; the products
                // of one group go to different sums, so nothing is reordered.
                for (int c = r; c <= m; ++c)
                    entry[c - 1] += row[static_cast<std::size_t>(c - 1)] * ur;
                entry[m] += ur * row[static_cast<std::size_t>(m)];
            }
        }
    }

} // namespace

void NormalSystem::addGroups(std::span<const double> groups, std::size_t count, int chunks)
{
    const int m = m_m;
    const auto mm = static_cast<std::size_t>(m);
    for (std::size_t g = 0; g < count; ++g) {
        const double y = groups[g * mm + mm - 1];
        m_sumYY += y * y;
    }
    if (chunks <= 0) {
        const std::size_t work = count * mm * (mm + 1) / 2;
        chunks = work < kParallelWork
            ? 1
            : static_cast<int>(std::max(2u, std::thread::hardware_concurrency()));
    }
    chunks = std::min(chunks, m);
    // The matrix's rows, not the groups, are shared out: each entry is summed whole by one
    // task, over the groups in file order, so the result does not depend on the number of
    // threads. Rows are dealt out in turn because the upper rows hold the longer sums.
    if (chunks == 1) {
        sumRows(groups, count, m, 1, 1, m_a);
    } else {
        tbb::parallel_for(
            0, chunks, [&](int chunk) { sumRows(groups, count, m, 1 + chunk, chunks, m_a); });
    }
    // (c, r) holds the same products as (r, c), and a product does not depend on the order of
    // its factors.
    for (int r = 2; r <= m; ++r) {
        for (int c = 1; c < r; ++c)
            ref(r, c) = at(c, r);
    }
}

void NormalSystem::checkSums() const
{
    checkFinite(m_sumYY);
    for (double entry : m_a)
        checkFinite(entry);
}

CentredSums NormalSystem::centredSums() const
{
    const int m = m_m;
    CentredSums sums;
    sums.n = at(1, 1);
    const double sumY = at(1, m + 1);
    sums.lyy = checkFinite(m_sumYY - divide(checkFinite(sumY * sumY), sums.n));
    for (int k = 1; k < m; ++k) {
        const double term = divide(checkFinite(sumY * at(1, k + 1)), sums.n);
        sums.lky.push_back(checkFinite(at(k + 1, m + 1) - term));
    }
    return sums;
}

bool NormalSystem::eliminate(bool useFloor)
{
    const int m = m_m;
    for (int p = m; p >= 2; --p) {
        double pivot = at(p, p);
        if (pivot == 0.0) { // only an exact zero is replaced (or ends the power evaluation)
            if (!useFloor)
                return false;
            pivot = kPivotFloor;
        }
        for (int r = 1; r <= p - 1; ++r) {
            const double f = divide(at(r, p), pivot);
            for (int c = 1; c <= p - 1; ++c)
                ref(r, c) = checkFinite(at(r, c) - checkFinite(at(p, c) * f));
            ref(r, m + 1) = checkFinite(at(r, m + 1) - checkFinite(at(p, m + 1) * f));
        }
    }
    return true;
}

std::vector<double> NormalSystem::solve()
{
    const int m = m_m;
    eliminate(true);
    for (int r = 1; r <= m - 1; ++r) {
        if (at(r, r) == 0.0)
            ref(r, r) = kPivotFloor;
        ref(r, m + 1) = divide(at(r, m + 1), at(r, r));
        for (int i = r + 1; i <= m; ++i)
            ref(i, m + 1) = checkFinite(at(i, m + 1) - checkFinite(at(i, r) * at(r, m + 1)));
    }
    ref(m, m + 1) = divide(at(m, m + 1), at(m, m)); // no zero guard on the last division
    std::vector<double> coefficients;
    for (int k = 1; k <= m; ++k)
        coefficients.push_back(at(k, m + 1));
    return coefficients;
}

std::vector<double> NormalSystem::solveWithoutFloor()
{
    const int m = m_m;
    if (!eliminate(false))
        return {};
    for (int r = 1; r <= m; ++r) {
        ref(r, m + 1) = divide(at(r, m + 1), at(r, r));
        for (int i = r + 1; i <= m; ++i)
            ref(i, m + 1) = checkFinite(at(i, m + 1) - checkFinite(at(i, r) * at(r, m + 1)));
    }
    std::vector<double> coefficients;
    for (int k = 1; k <= m; ++k)
        coefficients.push_back(at(k, m + 1));
    return coefficients;
}

} // namespace quantem::linear
