#include "plot/AxisTicks.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace quantem::plot {

namespace {

    // Ticks step by one of these times a power of ten.
    constexpr int kStepMantissas[] = { 1, 2, 5 };
    constexpr int kWantedTicks = 6;
    constexpr int kMaxDecadeTicks = 8;
    // Whole multiples of a step are counted in long long; beyond this a double no longer holds
    // every multiple apart from its neighbours.
    constexpr double kLargestMultiple = 1E+15;
    // A bound that lies within this fraction of a step from a multiple counts as that multiple:
    // the bounds come from arithmetic that can miss an exact tick by an ulp.
    constexpr double kBoundSlack = 1E-9;

    double decimalValue(long long mantissa, int exponent)
    {
        char text[48];
        std::snprintf(text, sizeof text, "%lldE%d", mantissa, exponent);
        double value = 0.0;
        std::from_chars(text, text + std::char_traits<char>::length(text), value);
        return value;
    }

    Tick tickAt(long long mantissa, int exponent)
    {
        return { decimalValue(mantissa, exponent), tickText(mantissa, exponent) };
    }

    /// The multiples k·step inside [low, high] as a first and last k; none when they are more
    /// than a double tells apart.
    struct Multiples
    {
        long long first = 0;
        long long last = -1;
        long long count() const { return last - first + 1; }
    };
    Multiples multiplesWithin(double low, double high, double step)
    {
        const double first = std::ceil(low / step - kBoundSlack);
        const double last = std::floor(high / step + kBoundSlack);
        if (!(std::abs(first) < kLargestMultiple && std::abs(last) < kLargestMultiple))
            return {};
        return { static_cast<long long>(first), static_cast<long long>(last) };
    }

    int floorLog10(double value) { return static_cast<int>(std::floor(std::log10(value))); }

    std::vector<Tick> decadeTicks(int firstDecade, int lastDecade, int stride)
    {
        std::vector<Tick> ticks;
        // Decades on multiples of the stride, so that 1, 100, 10000 rather than 10, 1000, ...
        int d = firstDecade;
        while (((d % stride) + stride) % stride != 0)
            ++d;
        for (; d <= lastDecade; d += stride)
            ticks.push_back(tickAt(1, d));
        return ticks;
    }

} // namespace

std::string tickText(long long mantissa, int exponent)
{
    if (mantissa == 0)
        return "0";
    const bool negative = mantissa < 0;
    std::string digits = std::to_string(negative ? -mantissa : mantissa);
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
    const int count = static_cast<int>(digits.size());
    const int lead = exponent + count - 1; // the power of ten of the first digit
    std::string text = negative ? "-" : "";
    if (lead < -4 || lead >= 6) {
        text += digits.substr(0, 1);
        if (count > 1)
            text += "." + digits.substr(1);
        char power[16];
        std::snprintf(power, sizeof power, "E%c%02d", lead < 0 ? '-' : '+', std::abs(lead));
        return text + power;
    }
    if (exponent >= 0)
        return text + digits + std::string(static_cast<std::size_t>(exponent), '0');
    const int whole = count + exponent; // digits before the point
    if (whole > 0)
        return text + digits.substr(0, static_cast<std::size_t>(whole)) + "."
            + digits.substr(static_cast<std::size_t>(whole));
    return text + "0." + std::string(static_cast<std::size_t>(-whole), '0') + digits;
}

std::vector<Tick> linearTicks(double low, double high)
{
    if (!(std::isfinite(low) && std::isfinite(high) && low < high))
        return {};
    const int base = floorLog10(high - low);
    long long bestCount = -1;
    int bestMantissa = 1;
    int bestExponent = 0;
    Multiples best;
    // Steps from a hundredth of the span to ten times it; among equally good counts the larger
    // step wins, which the <= gives as the steps grow.
    for (int exponent = base - 2; exponent <= base + 1; ++exponent) {
        for (int mantissa : kStepMantissas) {
            const Multiples multiples
                = multiplesWithin(low, high, decimalValue(mantissa, exponent));
            if (multiples.count() < 1)
                continue;
            if (bestCount < 0
                || std::llabs(multiples.count() - kWantedTicks)
                    <= std::llabs(bestCount - kWantedTicks)) {
                bestCount = multiples.count();
                bestMantissa = mantissa;
                bestExponent = exponent;
                best = multiples;
            }
        }
    }
    std::vector<Tick> ticks;
    for (long long k = best.first; k <= best.last; ++k)
        ticks.push_back(tickAt(k * bestMantissa, bestExponent));
    return ticks;
}

std::vector<Tick> logTicks(double low, double high)
{
    if (!(std::isfinite(low) && std::isfinite(high) && low > 0.0 && low < high))
        return {};
    const double decades = std::log10(high / low);
    if (decades < 1.0)
        return linearTicks(low, high);
    const int firstDecade = static_cast<int>(std::ceil(std::log10(low) - kBoundSlack));
    const int lastDecade = static_cast<int>(std::floor(std::log10(high) + kBoundSlack));
    if (decades <= 2.0) {
        std::vector<Tick> ticks;
        for (int d = firstDecade - 1; d <= lastDecade; ++d)
            for (int mantissa : kStepMantissas)
                if (const Tick tick = tickAt(mantissa, d); tick.value >= low && tick.value <= high)
                    ticks.push_back(tick);
        return ticks;
    }
    for (int stride : { 1, 2, 3, 5, 10, 20, 25, 50, 100 }) {
        if ((lastDecade - firstDecade) / stride + 1 <= kMaxDecadeTicks)
            return decadeTicks(firstDecade, lastDecade, stride);
    }
    return decadeTicks(firstDecade, lastDecade, 100);
}

std::vector<double> logMinorTicks(double low, double high)
{
    std::vector<double> ticks;
    if (!(std::isfinite(low) && std::isfinite(high) && low > 0.0 && low < high)
        || std::log10(high / low) > 6.0)
        return ticks;
    for (int d = floorLog10(low); d <= floorLog10(high); ++d)
        for (int mantissa = 2; mantissa <= 9; ++mantissa)
            if (const double value = decimalValue(mantissa, d); value >= low && value <= high)
                ticks.push_back(value);
    return ticks;
}

} // namespace quantem::plot
