#pragma once

#include "core/SampleData.h"
#include "core/ScratchStore.h"
#include "ranking/RankingPlan.h"

#include <optional>

namespace quantem::ranking {

/// The sum of squared residuals y - fitted over the first groups of samples, of the fit that the
/// store holds for choice: the published a0..ae, k1..kk (XB.sys) with the column offsets
/// (culi.sys) for models 1-50, the coefficients a0..an (hgb.sys) for 51 and 52. The fitted values
/// are the residual passes' own: the same formula, the same order of operations. No value when
/// the fit's files cannot be read or a group cannot be evaluated.
std::optional<double> residualSumOfSquares(const core::ScratchStore& store,
    const core::SampleData& samples, const ModelChoice& choice, int groups);

} // namespace quantem::ranking
