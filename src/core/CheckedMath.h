#pragma once

#include <cstdint>

namespace quantem::core {

// Checked arithmetic: every operation returns a finite value or throws a Fault.
// Division by zero of a non-zero value is fault 11, 0/0 and any result beyond the double range
// fault 6, an argument outside the function's domain fault 5.

/// a / b. Throws 11 for x/0 (x != 0), 6 for 0/0 or an overflowing quotient.
double divide(double a, double b);

/// a * b, a + b, a - b. Throw 6 when the result is not finite.
double multiply(double a, double b);
double add(double a, double b);
double subtract(double a, double b);

/// base ^ exponent as a real power. Throws 5 for a negative base with a non-whole exponent,
/// 11 for 0 raised to a negative exponent, 6 for a result beyond the double range.
double power(double base, double exponent);

/// Natural logarithm. Throws 5 for x <= 0.
double naturalLog(double x);

/// e ^ x. Throws 6 for a result beyond the double range.
double exponential(double x);

/// Square root. Throws 5 for x < 0.
double squareRoot(double x);

/// Rounds a double to single precision. Throws 6 beyond the single range.
float toSingle(double x);

/// Rounds to the nearest 16-bit integer, halves to even. Throws 6 outside -32768..32767.
std::int16_t toInteger16(double x);

/// Returns x when it is finite; throws 6 otherwise (a sum or product that left the range).
double checkFinite(double x);

} // namespace quantem::core
