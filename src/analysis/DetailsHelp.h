#pragma once

#include <string>

namespace quantem::analysis {

/// The help page's section on the fit details window: what it shows and the formulas of its
/// statistics, as HTML.
std::string fitDetailsHelp();

} // namespace quantem::analysis
