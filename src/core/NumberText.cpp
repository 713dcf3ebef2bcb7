#include "core/NumberText.h"

#include "core/Fault.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <stdlib.h>
#include <string>

namespace quantem::core {

namespace {

    // Up to `precision` significant digits, exponent form where needed, as "%.<precision>G"
    // prints in the C locale, whatever locale the program runs in.
    std::string formatG(int precision, double value)
    {
        if (value == 0.0)
            return "0"; // also turns -0 into "0"
        char buffer[64];
        const auto result = std::to_chars(
            buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
        std::string text(buffer, result.ptr);
        for (char& c : text) {
            if (c == 'e')
                c = 'E';
        }
        return text;
    }

    // Numbers are read with "." as the decimal point in every locale.
    locale_t cLocale()
    {
        static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
        return locale;
    }

    // Length of the longest prefix of text in the number syntax; 0 when there is none.
    std::size_t numberPrefixLength(std::string_view text)
    {
        std::size_t i = 0;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::size_t digits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++i;
            ++digits;
        }
        if (i < text.size() && text[i] == '.') {
            ++i;
            while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
                ++i;
                ++digits;
            }
        }
        if (digits == 0)
            return 0;
        if (i < text.size()
            && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
            std::size_t j = i + 1;
            if (j < text.size() && (text[j] == '+' || text[j] == '-'))
                ++j;
            std::size_t exponentDigits = 0;
            while (j < text.size() && text[j] >= '0' && text[j] <= '9') {
                ++j;
                ++exponentDigits;
            }
            if (exponentDigits > 0)
                i = j;
        }
        return i;
    }

    double convert(std::string_view number)
    {
        std::string text(number);
        for (char& c : text) {
            if (c == 'D' || c == 'd')
                c = 'E';
        }
        const double value = strtod_l(text.c_str(), nullptr, cLocale());
        if (!std::isfinite(value))
            throw Fault(FaultCode::Overflow);
        return value;
    }

} // namespace

std::string doubleText(double value) { return formatG(15, value); }

std::string singleText(float value) { return formatG(7, static_cast<double>(value)); }

std::string recordNumber(double value)
{
    if (value == 0.0)
        return "0";
    // Shortest round-trip digits in scientific form, then laid out by the display rule.
    char buffer[64];
    const auto result
        = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    std::string scientific(buffer, result.ptr);
    const auto ePos = scientific.find('e');
    std::string mantissa = scientific.substr(0, ePos);
    const int exponent = std::stoi(scientific.substr(ePos + 1));
    std::string sign;
    if (mantissa[0] == '-') {
        sign = "-";
        mantissa.erase(0, 1);
    }
    std::string digits;
    for (char c : mantissa) {
        if (c != '.')
            digits += c;
    }
    if (exponent >= -4 && exponent <= 14) {
        std::string plain;
        if (exponent < 0) {
            plain = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
        } else if (static_cast<int>(digits.size()) <= exponent + 1) {
            plain
                = digits + std::string(static_cast<std::size_t>(exponent + 1) - digits.size(), '0');
        } else {
            plain = digits.substr(0, static_cast<std::size_t>(exponent + 1)) + "."
                + digits.substr(static_cast<std::size_t>(exponent + 1));
        }
        return sign + plain;
    }
    std::string out = sign + digits.substr(0, 1);
    if (digits.size() > 1)
        out += "." + digits.substr(1);
    char expText[16];
    std::snprintf(expText, sizeof expText, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return out + expText;
}

double val(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    const std::string_view rest = text.substr(start);
    const std::size_t length = numberPrefixLength(rest);
    if (length == 0)
        return 0.0;
    return convert(rest.substr(0, length));
}

bool parseNumber(std::string_view text, double& value)
{
    if (text.empty() || numberPrefixLength(text) != text.size())
        return false;
    value = convert(text);
    return true;
}

} // namespace quantem::core
