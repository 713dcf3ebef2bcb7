#pragma once

#include "core/ModelCatalogue.h"
#include "core/ScratchStore.h"
#include "core/Session.h"
#include "engine_power/ExponentSet.h"
#include "engine_power/PowerEvaluation.h"

#include <functional>

namespace quantem::power {

/// The step of every candidate exponent, the bounds of a search and the value that stands in
/// for a candidate of exactly 0.
inline constexpr double kExponentStep = 0.01;
inline constexpr double kLowerBound = -10.0;
/// The largest initial value in size that the search takes: from further out, steps of 0.01
/// would take beyond a million evaluations to reach the bounds, or never change the exponent.
inline constexpr double kLargestStartValue = 100.0;
inline constexpr double kUpperBound = 10.0;
inline constexpr double kZeroReplacement = -0.00001;

/// The caption of Label10 when the final evaluation begins.
inline constexpr const char* kRunFinishedCaption = "回归计算完成";

/// A power-model run: searches k1..kk one at a time from the power initial value in steps of
/// 0.01 in the direction that raises |F|, each probe a full evaluation, then evaluates once more
/// and publishes. Reads data.qtm once for the whole run. Calls session.progress after every
/// evaluation. exponentCount must be 0..6 and model 1..50; other values do nothing.
void exponentSearch(core::Session& session, int exponentCount, core::ModelId model);

/// Sees every evaluation of a search after it ends: the candidate it was given, the exponents
/// and search index as it left them, and how it ended.
using EvaluationObserver = std::function<void(
    double t, const ExponentSet& exponents, SearchIndex index, EvaluationOutcome outcome)>;

/// The same search, telling observer about every evaluation.
void exponentSearch(core::Session& session, int exponentCount, core::ModelId model,
    const EvaluationObserver& observer);

/// The criterion change dF of the last evaluation: the first number of rr.sys in single
/// precision. A missing or unreadable file reads as 0; a change beyond the single range as an
/// infinity of its sign.
float readCriterionChange(const core::ScratchStore& store);

} // namespace quantem::power
