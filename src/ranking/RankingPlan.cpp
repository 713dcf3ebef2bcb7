#include "ranking/RankingPlan.h"

#include <algorithm>

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

int parameterCount(const ModelChoice& choice)
{
    if (choice.elements)
        return *choice.elements + 1;
    const core::ModelDescriptor& model = core::modelOf(choice.model);
    return model.elements + 1 + model.exponents;
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
