#pragma once

#include "core/WindowStates.h"

#include <string>
#include <vector>

namespace quantem::linear {

/// The six test-parameter lines that close every result report: 30-character captions, then the
/// texts of Label17..Label22 as they stand.
void appendTestParameterLines(std::vector<std::string>& lines, const core::Form1& form);

/// The lines of a report joined by CR LF, with no line end after the last.
std::string joinReportLines(const std::vector<std::string>& lines);

} // namespace quantem::linear
