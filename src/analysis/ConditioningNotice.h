#pragma once

#include "core/Session.h"

namespace quantem::analysis {

/// After a fit: when the design of the fit the window shows is badly conditioned, status panel
/// 1 says so in a plain sentence that names the fit details window. Labels, report and files
/// keep their values. Returns whether it warned.
bool noteConditioning(core::Session& session);

} // namespace quantem::analysis
