#pragma once

#include "core/Session.h"
#include "engine_power/PowerEvaluation.h"

namespace quantem::power::test {

/// One evaluation the plain way: the reference for what the program's evaluation gives.
EvaluationOutcome plainPowerEvaluation(const PowerRun& run, double t, ExponentSet& exponents,
    SearchIndex& index, int exponentCount, core::ModelId model);

/// A whole search of plain evaluations, reading dF back from rr.sys after each.
void plainExponentSearch(core::Session& session, int exponentCount, core::ModelId model);

} // namespace quantem::power::test
