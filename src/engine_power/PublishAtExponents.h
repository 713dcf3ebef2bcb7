#pragma once

#include "core/ModelCatalogue.h"
#include "core/Session.h"
#include "engine_power/PowerEvaluation.h"

#include <span>

namespace quantem::power {

/// The final evaluation of a search, at exponents given from outside it (k1..kk with the term
/// offsets, as the labels show them): solves the coefficients for them, and publishes them with
/// R, F and S, the scratch files, the residual pass and the report exactly as a search that
/// ended there would. Reads Text2 and data.qtm as the search reads them. A model outside 1..50,
/// one without exponents or a count of exponents other than the model's publishes nothing
/// (EndedSilently).
EvaluationOutcome publishAtExponents(
    core::Session& session, core::ModelId model, std::span<const double> exponents);

} // namespace quantem::power
