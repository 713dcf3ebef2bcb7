#include "plot/AxisTicks.h"

#include "plot/PlotAxis.h"

#include <gtest/gtest.h>

#include <cctype>
#include <charconv>
#include <cmath>

namespace quantem::plot {
namespace {

    std::string texts(const std::vector<Tick>& ticks)
    {
        std::string joined;
        for (const Tick& tick : ticks)
            joined += (joined.empty() ? "" : " ") + tick.text;
        return joined;
    }

    double parsed(const std::string& text)
    {
        double value = NAN;
        std::from_chars(text.data(), text.data() + text.size(), value);
        return value;
    }

    /// The step between ticks as its leading digit: 1, 2 or 5 for a round step.
    double stepMantissa(double step)
    {
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
        return std::round(mantissa * 1E+6) / 1E+6;
    }

    /// The significant digits a tick's text shows.
    int significantDigits(const std::string& text)
    {
        const std::string mantissa = text.substr(0, text.find('E'));
        const std::size_t first = mantissa.find_first_of("123456789");
        const std::size_t last = mantissa.find_last_of("123456789");
        if (first == std::string::npos)
            return 0;
        int digits = 0;
        for (std::size_t i = first; i <= last; ++i)
            digits += std::isdigit(static_cast<unsigned char>(mantissa[i])) ? 1 : 0;
        return digits;
    }

    /// The digits from a value's first one down to the step's: more would be rounding noise.
    int digitsNeeded(double value, double step)
    {
        if (value == 0.0)
            return 0;
        return static_cast<int>(std::floor(std::log10(std::abs(value)) + 1E-9)
                   - std::floor(std::log10(step) + 1E-9))
            + 1;
    }

    TEST(AxisTicks, LinearTicksAreRoundNumbersWithExactTextsOnEveryRange)
    {
        struct Range
        {
            double low;
            double high;
        };
        const Range ranges[] = { { 0.0, 1.0 }, { -3.7, -0.2 }, { -0.031, 0.047 },
            { 1E-12, 5.3E-12 }, { 0.1, 0.7000000000000001 }, { 17.3, 18.95 }, { -1E+15, 3E+15 },
            { 2.385E+15, 2.3851E+15 }, { 1E+15, 1E+15 + 7.0 }, { 0.1, 16.1 }, { 0.0, 17.5 },
            { -7.7E-5, -1.3E-6 }, { 998.7, 1003.2 } };
        for (const Range& range : ranges) {
            SCOPED_TRACE(std::to_string(range.low) + " .. " + std::to_string(range.high));
            const std::vector<Tick> ticks = linearTicks(range.low, range.high);
            ASSERT_GE(ticks.size(), 4u) << texts(ticks);
            EXPECT_LE(ticks.size(), 8u) << texts(ticks);
            const double step = ticks[1].value - ticks[0].value;
            const double mantissa = stepMantissa(step);
            EXPECT_TRUE(mantissa == 1.0 || mantissa == 2.0 || mantissa == 5.0) << texts(ticks);
            for (std::size_t i = 0; i < ticks.size(); ++i) {
                const Tick& tick = ticks[i];
                EXPECT_GE(tick.value, range.low - 1E-9 * step);
                EXPECT_LE(tick.value, range.high + 1E-9 * step);
                // The value is its text's, and the text carries no rounding noise.
                EXPECT_EQ(tick.value, parsed(tick.text)) << tick.text;
                EXPECT_LE(significantDigits(tick.text), digitsNeeded(tick.value, step))
                    << tick.text;
                EXPECT_NEAR((tick.value - ticks[0].value) / step, static_cast<double>(i), 1E-6);
            }
        }
        EXPECT_EQ(texts(linearTicks(0.0, 1.0)), "0 0.2 0.4 0.6 0.8 1");
        EXPECT_EQ(texts(linearTicks(0.1, 0.7000000000000001)), "0.1 0.2 0.3 0.4 0.5 0.6 0.7");
        EXPECT_EQ(texts(linearTicks(-3.7, -0.2)), "-3.5 -3 -2.5 -2 -1.5 -1 -0.5");
        EXPECT_EQ(texts(linearTicks(1E-12, 5.3E-12)), "1E-12 2E-12 3E-12 4E-12 5E-12");
        EXPECT_EQ(texts(linearTicks(-1E+15, 3E+15)), "-1E+15 0 1E+15 2E+15 3E+15");
        EXPECT_EQ(texts(linearTicks(-7.7E-5, -1.3E-6)),
            "-7E-05 -6E-05 -5E-05 -4E-05 -3E-05 -2E-05 -1E-05");
        EXPECT_TRUE(linearTicks(2.0, 2.0).empty());
        EXPECT_TRUE(linearTicks(0.0, NAN).empty());
    }

    TEST(AxisTicks, LogTicksSitOnDecadesWithTwoAndFiveWhenTheyAreFew)
    {
        EXPECT_EQ(texts(logTicks(0.9, 1.2E+3)), "1 10 100 1000");
        EXPECT_EQ(texts(logTicks(1.5E-6, 2.0E+9)), "0.0001 0.01 1 100 10000 1E+06 1E+08");
        EXPECT_EQ(texts(logTicks(3.0E-13, 2.0E+14)), "1E-10 1E-05 1 100000 1E+10");
        EXPECT_EQ(texts(logTicks(0.15, 8.0)), "0.2 0.5 1 2 5");
        // Within one decade the ticks are the linear ones.
        EXPECT_EQ(texts(logTicks(2.0, 7.5)), texts(linearTicks(2.0, 7.5)));
        EXPECT_TRUE(logTicks(0.0, 10.0).empty());
        const std::vector<double> minor = logMinorTicks(0.9, 120.0);
        ASSERT_EQ(minor.size(), 17u); // 0.9, 2..9, 20..90
        EXPECT_EQ(minor.front(), 0.9);
        EXPECT_EQ(minor[1], 2.0);
        EXPECT_EQ(minor.back(), 90.0);
        EXPECT_TRUE(logMinorTicks(1E-10, 1E+10).empty());
    }

    TEST(AxisTicks, AnAxisPadsItsValuesAndALogAxisLeavesOutWhatItCannotShow)
    {
        const std::vector<double> values { -2.385, 0.0, 7.615, NAN };
        const Axis linear = axisOver(values, AxisScale::Linear, "x");
        EXPECT_DOUBLE_EQ(linear.low, -2.385 - 0.4);
        EXPECT_DOUBLE_EQ(linear.high, 7.615 + 0.4);
        EXPECT_EQ(texts(linear.ticks), "-2 0 2 4 6 8");

        const Axis log = axisOver(values, AxisScale::Log, "x");
        EXPECT_NEAR(log.low, 7.615 / std::pow(10.0, 0.1), 1E-12); // a fifth of a decade
        EXPECT_NEAR(log.high, 7.615 * std::pow(10.0, 0.1), 1E-12);

        const Axis same = axisOver(std::vector<double> { 3.0, 3.0 }, AxisScale::Linear, "y");
        EXPECT_DOUBLE_EQ(same.low, 2.7);
        EXPECT_DOUBLE_EQ(same.high, 3.3);

        const std::vector<double> grid = curveGrid(0.01, 100.0, AxisScale::Log, 5);
        ASSERT_EQ(grid.size(), 5u);
        EXPECT_EQ(grid.front(), 0.01);
        EXPECT_DOUBLE_EQ(grid[1], 0.1);
        EXPECT_DOUBLE_EQ(grid[2], 1.0);
        EXPECT_EQ(grid.back(), 100.0);
    }

} // namespace
} // namespace quantem::plot
