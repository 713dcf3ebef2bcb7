#pragma once

#include "app/Commands.h"
#include "core/Session.h"

namespace quantem::app {

/// The regression command: da.sys, (menu route) wcqk.sys, the state line, mm.sys, r1.sys, then
/// xx.sys decides the engine through runRegression.
void regressionCommand(core::Session& session, Route route);

/// The dispatcher: models 51 and 52 go to the linear engine; models 1-50 are checked group by
/// group and handed to the exponent search.
void runRegression(core::Session& session, int exponentCount, core::ModelId model);

} // namespace quantem::app
