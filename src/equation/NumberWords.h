#pragma once

#include <string>

namespace quantem::equation {

/// A number for a sentence or a table a person reads: up to digits significant digits in the C
/// locale, whatever the process's locale (the desktop sets its own).
std::string numberWords(double value, int digits = 6);

} // namespace quantem::equation
