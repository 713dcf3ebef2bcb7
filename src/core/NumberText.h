#pragma once

#include <string>
#include <string_view>

namespace quantem::core {

/// Display text of a double: up to 15 significant digits, exponent form where needed
/// (1E+20, 0.948683298050514, 1E-05), negative zero as "0".
std::string doubleText(double value);

/// Display text of a single-precision value: up to 7 significant digits (0.55, 0.06666667).
std::string singleText(float value);

/// A double as a record item: the shortest decimal that reads back as the same double, laid out
/// like the display text (plain for decimal exponents -4..14, else mantissa "E" sign and at least
/// two exponent digits): 1E+19, 98500000000000, 0.7000000000000002, 2.5E-14, "0" for zero.
std::string recordNumber(double value);

/// The number a text-box text begins with: leading blanks and tabs skipped, then the longest
/// prefix in the number syntax (sign, digits, point, exponent E/e/D/d); 0 when there is none.
/// Throws Fault 6 when the number is beyond the double range.
double val(std::string_view text);

/// Parses one whole item in the number syntax (no surrounding blanks). Returns false when the
/// text is not a number; throws Fault 6 when it is beyond the double range.
bool parseNumber(std::string_view text, double& value);

} // namespace quantem::core
