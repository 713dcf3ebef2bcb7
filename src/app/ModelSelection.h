#pragma once

#include "core/ModelCatalogue.h"
#include "core/Session.h"

namespace quantem::app {

/// Makes a model current: prepares the input row, shows its formula picture and stores its
/// counts in xx.sys. One command for every model, driven by the catalogue; 51 and 52 take their
/// own variant (clear results, the element box, xx.sys with an empty e). A picture that cannot be
/// loaded is told in status panel 1 and the command still completes.
void selectModel(core::Session& session, core::ModelId model);

} // namespace quantem::app
