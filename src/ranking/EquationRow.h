#pragma once

#include "equation/EquationEntry.h"
#include "ranking/ModelFit.h"

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace quantem::ranking {

/// The saved equations that fit groups of groupSize numbers: variables + 1 = groupSize. An
/// entry whose formula does not compile fits none. Keeps the entries' order.
std::vector<equation::EquationEntry> equationsForGroupSize(
    const std::vector<equation::EquationEntry>& entries, int groupSize);

/// Fits a saved equation from its saved starts to the groups the catalogue's runs take (the
/// input's sample count of the sample file), and measures it as the catalogue measures a fit:
/// R = sqrt|U/Lyy| with U = Lyy - Q, F = (N - m)((U/(m - 1))/Q), S = sqrt|Q/(N - m)|, the
/// biggest, mean (in single precision) and mean relative error |e/fitted|, AICc and BIC, all
/// from the unweighted residuals e, m the free parameters. A fit that is refused or does not
/// converge gives a row with its reason as its problem. No row when stop was set during the
/// fit. samplesRead, when given, is readSampleFile(input).
std::optional<RankRow> fitEquationRow(const RankingInput& input,
    const equation::EquationEntry& entry, const std::atomic<bool>* stop = nullptr,
    std::shared_ptr<const core::SampleStorage> samplesRead = nullptr);

} // namespace quantem::ranking
