#include "ranking/RankingPlan.h"

#include <algorithm>
#include <numeric>

namespace quantem::ranking {

std::vector<ModelChoice> rankingPlan(int groupSize, int samples)
{
    std::vector<ModelChoice> plan;
    if (groupSize < 2)
        return plan;
    for (const core::ModelDescriptor& model : core::allModels()) {
        if (core::groupSize(model.id) == groupSize)
            plan.push_back({ model.id, std::nullopt });
    }
    plan.push_back({ core::kMultipleLinearModel, groupSize - 1 });
    if (groupSize == 2) {
        for (int degree = 1; degree <= std::min(kMaxRankedDegree, samples - 2); ++degree)
            plan.push_back({ core::kPolynomialModel, degree });
    }
    return plan;
}

int groupSizeOf(const ModelChoice& choice)
{
    if (choice.model == core::kMultipleLinearModel && choice.elements)
        return *choice.elements + 1;
    if (choice.model == core::kPolynomialModel)
        return 2;
    return core::groupSize(choice.model);
}

int parameterCount(const ModelChoice& choice)
{
    if (choice.elements)
        return *choice.elements + 1;
    const core::ModelDescriptor& model = core::modelOf(choice.model);
    return model.elements + 1 + model.exponents;
}

int expectedWork(const ModelChoice& choice)
{
    if (choice.elements)
        return 3 + *choice.elements;
    const core::ModelDescriptor& model = core::modelOf(choice.model);
    return 3 + 9 * model.exponents + 3 * model.elements;
}

std::vector<std::size_t> longestFirst(const std::vector<ModelChoice>& plan)
{
    std::vector<std::size_t> order(plan.size());
    std::iota(order.begin(), order.end(), std::size_t { 0 });
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return expectedWork(plan[a]) > expectedWork(plan[b]);
    });
    return order;
}

std::string formulaOf(const ModelChoice& choice)
{
    if (!choice.elements)
        return std::string(core::modelOf(choice.model).formulaText);
    std::string formula = "y = a0";
    for (int i = 1; i <= *choice.elements; ++i) {
        const std::string a = " + a" + std::to_string(i);
        formula += choice.model == core::kPolynomialModel ? a + " * x ^ " + std::to_string(i)
                                                          : a + " * x" + std::to_string(i);
    }
    return formula;
}

} // namespace quantem::ranking
