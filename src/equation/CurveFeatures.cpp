#include "equation/CurveFeatures.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace quantem::equation {

namespace {

    /// Where the segment from (x0, y0) to (x1, y1) meets level, which lies between y0 and y1.
    double interpolated(double x0, double y0, double x1, double y1, double level)
    {
        // A flat segment on the level: its start is where y first reaches it.
        if (y1 == y0)
            return x0;
        return x0 + (level - y0) * (x1 - x0) / (y1 - y0);
    }

    bool between(double level, double a, double b)
    {
        return (a <= level && level <= b) || (b <= level && level <= a);
    }

} // namespace

CurveFeatures::CurveFeatures(const EquationData& data)
{
    if (data.variables.empty())
        return;
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < data.groups(); ++i) {
        if (std::isfinite(data.variables[0][i]) && std::isfinite(data.y[i]))
            order.push_back(i);
    }
    // Stable: groups of equal x keep the file's order, so the features never depend on a sort.
    std::stable_sort(order.begin(), order.end(),
        [&](std::size_t a, std::size_t b) { return data.variables[0][a] < data.variables[0][b]; });
    for (std::size_t i : order) {
        m_x.push_back(data.variables[0][i]);
        m_y.push_back(data.y[i]);
    }
}

CurveFeatures CurveFeatures::lessLine(double intercept, double slope) const
{
    CurveFeatures less;
    less.m_x = m_x;
    for (std::size_t i = 0; i < m_x.size(); ++i)
        less.m_y.push_back(m_y[i] - (intercept + slope * m_x[i]));
    return less;
}

double CurveFeatures::minY() const { return *std::min_element(m_y.begin(), m_y.end()); }

double CurveFeatures::maxY() const { return *std::max_element(m_y.begin(), m_y.end()); }

double CurveFeatures::meanY() const
{
    return std::accumulate(m_y.begin(), m_y.end(), 0.0) / static_cast<double>(m_y.size());
}

std::size_t CurveFeatures::peakIndex() const
{
    return static_cast<std::size_t>(std::max_element(m_y.begin(), m_y.end()) - m_y.begin());
}

bool CurveFeatures::allPositive() const
{
    return std::all_of(m_x.begin(), m_x.end(), [](double v) { return v > 0.0; })
        && std::all_of(m_y.begin(), m_y.end(), [](double v) { return v > 0.0; });
}

std::optional<double> CurveFeatures::crossing(double level, std::size_t from, bool backwards) const
{
    if (from >= m_x.size())
        return std::nullopt;
    if (backwards) {
        for (std::size_t i = from; i > 0; --i) {
            if (between(level, m_y[i], m_y[i - 1]))
                return interpolated(m_x[i], m_y[i], m_x[i - 1], m_y[i - 1], level);
        }
        return std::nullopt;
    }
    for (std::size_t i = from; i + 1 < m_x.size(); ++i) {
        if (between(level, m_y[i], m_y[i + 1]))
            return interpolated(m_x[i], m_y[i], m_x[i + 1], m_y[i + 1], level);
    }
    return std::nullopt;
}

std::vector<double> CurveFeatures::crossings(double level) const
{
    std::vector<double> found;
    for (std::size_t i = 0; i + 1 < m_x.size(); ++i) {
        // A sign change, strictly: a point exactly on the level is counted once, by the segment
        // that reaches it.
        const double a = m_y[i] - level;
        const double b = m_y[i + 1] - level;
        if ((a < 0.0 && b >= 0.0) || (a > 0.0 && b <= 0.0))
            found.push_back(interpolated(m_x[i], m_y[i], m_x[i + 1], m_y[i + 1], level));
    }
    return found;
}

} // namespace quantem::equation
