#pragma once

#include "analysis/FitDetails.h"

#include <string>
#include <vector>

namespace quantem::analysis {

/// A table of text cells: a header row, then one row per item.
using TextTable = std::vector<std::vector<std::string>>;

/// Parameters side by side: name, then value, standard error, 95 % interval, t and p of the
/// published fit, the stable solve's value, and the refined value and standard error.
/// Numbers carry `digits` significant digits (all of them by default; fewer for display).
TextTable parameterTable(const FitDetails& details, int digits = 15);

/// One row per statistic (sum of squares .. condition number), one column per fit.
TextTable statisticsTable(const FitDetails& details, int digits = 15);

/// One row per group: group, x1..xv, y, fitted, residual, relative residual, and the refined
/// fitted value and residual when there are some.
TextTable residualTable(const FitDetails& details, int digits = 15);

/// A number with digits significant digits ("%.15G" by default), "" for one that does not
/// exist.
std::string cellNumber(double value, int digits = 15);

/// Cells joined by tabs, rows ended by a line feed (what a spreadsheet takes from a paste).
std::string tabSeparated(const TextTable& table);

/// Cells joined by commas, quoted where a cell holds a comma or a quote, rows ended by CR LF.
std::string commaSeparated(const TextTable& table);

} // namespace quantem::analysis
