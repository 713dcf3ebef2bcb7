#pragma once

#include "equation/EquationFit.h"

#include <optional>
#include <vector>

namespace quantem::equation {

/// The finite points (x, y) of a one-variable data set in order of x, read for the features a
/// template's start values come from.
class CurveFeatures
{
public:
    /// variables[0] as x; points with a value that is not finite are left out.
    explicit CurveFeatures(const EquationData& data);

    /// The same points with the line intercept + slope * x taken from y.
    CurveFeatures lessLine(double intercept, double slope) const;

    std::size_t size() const noexcept { return m_x.size(); }
    double firstX() const { return m_x.front(); }
    double lastX() const { return m_x.back(); }
    double firstY() const { return m_y.front(); }
    double lastY() const { return m_y.back(); }
    double minY() const;
    double maxY() const;
    double meanY() const;
    /// The index of the largest y (the first of equal ones).
    std::size_t peakIndex() const;
    double x(std::size_t i) const { return m_x[i]; }
    double y(std::size_t i) const { return m_y[i]; }
    bool allPositive() const;

    /// The x where y first passes level, by linear interpolation between the two points around
    /// it; none when y never reaches level. Searches from index from towards larger x, or
    /// towards smaller x when backwards.
    std::optional<double> crossing(
        double level, std::size_t from = 0, bool backwards = false) const;
    /// Every x where y passes level, in order.
    std::vector<double> crossings(double level) const;

private:
    CurveFeatures() = default;

    std::vector<double> m_x;
    std::vector<double> m_y;
};

} // namespace quantem::equation
