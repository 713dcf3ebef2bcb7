#pragma once

#include "analysis/Refinement.h"
#include "core/Session.h"

#include <atomic>
#include <vector>

namespace quantem::app {

/// The power initial values from which the search is run again to give the refinement more
/// starts; the one the user gave is passed over.
inline constexpr double kOtherInitialValues[] { -1.0, 0.5, 1.0, 2.0 };

/// Runs the power model's search the session has just published again from each of
/// kOtherInitialValues, side by side on copies of the session in memory (its scratch files and
/// the groups its fit read), and gives where each published search ended as a start for the
/// refinement, in that order. The session and its files are untouched. The session's progress
/// hook is called from the copies' evaluations, one call at a time and with the session's own
/// window state, so a stop it raises ends them all and sets stopped; a search that was stopped
/// or published nothing gives no start. Empty for the models without exponents and for 51 and
/// 52.
std::vector<analysis::RefineStart> searchesFromOtherStarts(
    const core::Session& session, std::atomic<bool>& stopped);

} // namespace quantem::app
