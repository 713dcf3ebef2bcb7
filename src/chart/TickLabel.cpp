#include "chart/TickLabel.h"

#include <charconv>
#include <cstdlib>

namespace quantem::chart {

namespace {

    // Adds one to a string of decimal digits.
    void incrementDigits(std::string& digits)
    {
        for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
            if (*it != '9') {
                ++*it;
                return;
            }
            *it = '0';
        }
        digits.insert(digits.begin(), '1');
    }

} // namespace

std::string tickLabel(double value)
{
    if (value == 0.0)
        return ".";
    // The value as its 15 significant digits and decimal exponent: "d.dddddddddddddde+XX".
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value < 0.0 ? -value : value,
        std::chars_format::scientific, 14);
    const std::string text(buffer, result.ptr);
    const std::size_t e = text.find('e');
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    const int exponent = std::atoi(text.c_str() + e + 1);

    // Split into whole digits and decimals around the point.
    const int pointAt = exponent + 1;
    std::string whole;
    std::string decimals;
    if (pointAt <= 0) {
        decimals = std::string(static_cast<std::size_t>(-pointAt), '0') + digits;
    } else if (pointAt >= static_cast<int>(digits.size())) {
        whole = digits + std::string(static_cast<std::size_t>(pointAt) - digits.size(), '0');
    } else {
        whole = digits.substr(0, static_cast<std::size_t>(pointAt));
        decimals = digits.substr(static_cast<std::size_t>(pointAt));
    }

    // Two decimals, rounded half away from zero on the magnitude.
    decimals.resize(std::max<std::size_t>(decimals.size(), 3), '0');
    const bool roundUp = decimals[2] >= '5';
    std::string kept = whole + decimals.substr(0, 2);
    if (roundUp)
        incrementDigits(kept);
    whole = kept.substr(0, kept.size() - 2);
    decimals = kept.substr(kept.size() - 2);

    whole.erase(0, whole.find_first_not_of('0'));
    decimals.erase(decimals.find_last_not_of('0') + 1);
    if (whole.empty() && decimals.empty())
        return ".";
    return (value < 0.0 ? "-" : "") + whole + "." + decimals;
}

} // namespace quantem::chart
