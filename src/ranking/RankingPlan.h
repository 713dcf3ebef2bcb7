#pragma once

#include "core/ModelCatalogue.h"

#include <optional>
#include <string>
#include <vector>

namespace quantem::ranking {

/// One entry of a ranking: a model, and for models 51 and 52 its element count or degree.
struct ModelChoice
{
    core::ModelId model = 0;
    std::optional<int> elements; // n of model 51, degree of model 52; none for 1-50

    bool operator==(const ModelChoice&) const = default;
};

/// The most degrees of the polynomial a ranking tries.
inline constexpr int kMaxRankedDegree = 10;

/// The models that fit groups of groupSize numbers, in catalogue order: every model 1-50 with
/// that group size, model 51 with groupSize - 1 elements, and for groups of two, model 52 with
/// degrees 1 to min(10, samples - 2). Empty for a group size below 2.
std::vector<ModelChoice> rankingPlan(int groupSize, int samples);

/// The numbers of a group the choice's run reads: the model's for 1-50, the elements and y for
/// 51, x and y for 52.
int groupSizeOf(const ModelChoice& choice);

/// The number of fitted parameters: a0..ae and k1..kk for 1-50, a0..an for 51 and 52.
int parameterCount(const ModelChoice& choice);

/// The work of a choice's run relative to the others, from its counts: every exponent costs a
/// search pass over the groups and a dimension of the refinement, every term a column.
int expectedWork(const ModelChoice& choice);

/// The indices of plan, the most expected work first (equal work in plan order): runs started
/// in this order on several threads end together, the short ones filling in last.
std::vector<std::size_t> longestFirst(const std::vector<ModelChoice>& plan);

/// The formula of the choice; for 51 and 52 written out for its n ("y = a0 + a1 * x ^ 1 +
/// a2 * x ^ 2").
std::string formulaOf(const ModelChoice& choice);

} // namespace quantem::ranking
