#pragma once

#include <string>
#include <vector>

namespace quantem::plot {

/// A labelled tick: its value and the text printed at it.
struct Tick
{
    double value = 0.0;
    std::string text;
};

/// The exact decimal text of mantissa × 10^exponent, as a tick prints it: plain digits between
/// 1E-4 and 1E+6 ("0.3", "-25", "120000"), otherwise a mantissa and a power of ten ("1E-12",
/// "2.5E+15"); "0" for a mantissa of 0. Built from the digits, so no rounding noise shows.
std::string tickText(long long mantissa, int exponent);

/// Round ticks inside [low, high]: the multiples of one step of 1, 2 or 5 times a power of ten,
/// the step that gives nearest six ticks (four to eight on almost every range). Each value is
/// the double nearest its text. Empty when low and high are not finite or not ordered.
std::vector<Tick> linearTicks(double low, double high);

/// Ticks of a log axis inside [low, high] (0 < low < high): the decades, every second or fifth
/// one when there are many, with 2 and 5 of each decade when there are no more than two; the
/// linear ticks within a range shorter than a decade.
std::vector<Tick> logTicks(double low, double high);

/// The unlabelled ticks of a log axis: 2..9 of each decade in [low, high] when there are at most
/// six decades, none otherwise.
std::vector<double> logMinorTicks(double low, double high);

} // namespace quantem::plot
