#pragma once

#include "app/Commands.h"
#include "core/ModelCatalogue.h"
#include "core/Session.h"

#include <optional>

namespace quantem::app {

/// The model number that xx.sys holds, as the regression command reads it; no value when xx.sys
/// is missing or holds no such number (the regression command then meets that fault itself).
std::optional<core::ModelId> storedModel(const core::Session& session);

/// The regression command as the main window starts it: only for the model the window shows
/// checked (Form1::checkedModel; 0 for none). When xx.sys names another one (a selection whose
/// write of xx.sys failed leaves the model before it there), the command is refused before it
/// writes anything: Form6 with its standing text, and status panel 1 names both models. Returns
/// true when the regression ran.
bool regressShownModel(core::Session& session, Route route);

} // namespace quantem::app
