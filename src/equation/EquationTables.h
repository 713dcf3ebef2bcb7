#pragma once

#include "analysis/DetailsTables.h"
#include "equation/EquationFit.h"

namespace quantem::equation {

/// The parameters of a fit: name, start, fixed, value, standard error, 95 % interval, t, p and
/// whether the value ended on a bound. Numbers carry digits significant digits.
analysis::TextTable parameterTable(const EquationResult& result, int digits = 15);

/// One row per statistic of the fit, the stop reason last.
analysis::TextTable statisticsTable(const EquationResult& result, int digits = 15);

/// The correlation of the free parameters, named along both edges.
analysis::TextTable correlationTable(const EquationResult& result, int digits = 15);

/// One row per group: group, the variables, y, fitted, residual (y - fitted).
analysis::TextTable residualTable(
    const Tape& tape, const EquationData& data, const EquationResult& result, int digits = 15);

/// The four tables one after the other, a blank line between them, in the form given.
std::string allTables(const Tape& tape, const EquationData& data, const EquationResult& result,
    std::string (*form)(const analysis::TextTable&));

} // namespace quantem::equation
