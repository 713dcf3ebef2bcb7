#pragma once

#include "analysis/Refinement.h"
#include "core/Session.h"

#include <optional>
#include <string>

namespace quantem::app {

/// The fit the window shows, refined: from its published exponents, a plain start and the ends
/// of the search run again from other power initial values. The session's progress hook is
/// called as it goes; a stop it raises ends the refinement with no value, as does a window that
/// shows no power-model fit.
std::optional<analysis::Refinement> refineShownFit(const core::Session& session);

/// After a power-model fit: when the refined fit's sum of squares is below
/// analysis::kMuchBetterShare of the published one, status panel 1 says so (a warning; labels,
/// report, files and message windows keep their values). Returns the notice given.
std::optional<std::string> noteMuchBetterOptimum(core::Session& session);

} // namespace quantem::app
