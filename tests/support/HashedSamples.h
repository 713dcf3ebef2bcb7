#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace quantem::test {

// Groups (x1, x2, y) whose scatter comes from a multiplicative hash, so that
// tests/data/refinement_optimum.py makes the same numbers for SciPy's reference optima.

inline double hashedUnit(std::uint64_t i, std::uint64_t multiplier)
{
    return static_cast<double>((i * multiplier) % 4294967296ULL) / 4294967296.0;
}

/// n groups on x1, x2 in [low, high] with uniform noise of standard deviation 0.05 added to
/// formula(x1, x2), one group a line.
template <typename Formula>
std::string hashedSamples(int n, double low, double high, const Formula& formula)
{
    std::string text;
    for (int g = 1; g <= n; ++g) {
        const auto i = static_cast<std::uint64_t>(g);
        const double x1 = low + (high - low) * hashedUnit(i, 2654435761ULL);
        const double x2 = low + (high - low) * hashedUnit(i, 2246822519ULL);
        const double noise = 0.05 * std::sqrt(3.0) * (2.0 * hashedUnit(i, 3266489917ULL) - 1.0);
        char line[96];
        std::snprintf(line, sizeof line, "%.17g,%.17g,%.17g\r\n", x1, x2, formula(x1, x2) + noise);
        text += line;
    }
    return text;
}

/// y = 1 + 2·x1^0.5 + 0.8·x2^2, 30 groups on [1, 10]: from the power initial value 0.5 the
/// search of model 16 stops far from the least-squares optimum.
inline std::string model16Samples()
{
    return hashedSamples(30, 1.0, 10.0, [](double x1, double x2) {
        return 1.0 + 2.0 * std::pow(x1, 0.5) + 0.8 * std::pow(x2, 2.0);
    });
}

/// Model 24 with a0..a4 = 1.5, 1, 1.25, 1.5, 1.75 and k1..k6 = 0.83, 0.61, 0.7, 0.4, 0.55,
/// 0.45, 4 000 groups on [0.5, 3].
inline std::string model24Samples()
{
    return hashedSamples(4000, 0.5, 3.0, [](double x1, double x2) {
        return 1.5 + 1.0 * std::pow(x1, 0.83) + 1.25 * std::pow(x2, 0.61)
            + 1.5 * std::pow(x1, 0.7) * std::pow(x2, 0.4)
            + 1.75 * std::pow(x1, 0.55) * std::pow(x2, 0.45);
    });
}

/// SciPy's least sum of squares of model 16 on model16Samples (refinement_optimum.py).
inline constexpr double kModel16Optimum = 0.047774345573327374;

} // namespace quantem::test
