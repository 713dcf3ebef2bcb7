#pragma once

#include "core/Session.h"

#include <functional>

namespace quantem::app {

/// Runs regress (a regression as a front end starts it; it returns false when it did not run)
/// between the notices the main window gives about a fit: the sample file's layout before it,
/// the conditioning of the design and a much better optimum after a fit it published, each in
/// status panel 1, where the layout stays when it was told. The refinement behind the last runs
/// on the caller's thread. Returns what
/// regress returned.
bool regressWithNotes(core::Session& session, const std::function<bool()>& regress);

} // namespace quantem::app
