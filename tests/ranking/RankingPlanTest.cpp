#include "ranking/RankingPlan.h"

#include "ranking/RankRow.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quantem::ranking {
namespace {

    std::vector<core::ModelId> catalogueModels(const std::vector<ModelChoice>& plan)
    {
        std::vector<core::ModelId> models;
        for (const ModelChoice& choice : plan) {
            if (!choice.elements)
                models.push_back(choice.model);
        }
        return models;
    }

    TEST(RankingPlan, EachGroupSizeTakesItsCatalogueModelsAndTheLinearFamily)
    {
        const std::vector<ModelChoice> two = rankingPlan(2, 8);
        EXPECT_EQ(catalogueModels(two),
            (std::vector<core::ModelId> { 1, 4, 7, 8, 9, 10, 11, 12, 13, 14, 15 }));
        // Model 51 with one element, then the degrees up to N - 2.
        const std::vector<ModelChoice> linear(two.begin() + 11, two.end());
        EXPECT_EQ(linear,
            (std::vector<ModelChoice> {
                { 51, 1 }, { 52, 1 }, { 52, 2 }, { 52, 3 }, { 52, 4 }, { 52, 5 }, { 52, 6 } }));
        // Degrees stop at 10 however many groups there are, and vanish below three groups.
        EXPECT_EQ(rankingPlan(2, 1000).back(), (ModelChoice { 52, 10 }));
        EXPECT_EQ(rankingPlan(2, 2).back(), (ModelChoice { 51, 1 }));

        const std::vector<ModelChoice> three = rankingPlan(3, 100);
        EXPECT_EQ(three.size(), 2u + 23u + 1u);
        EXPECT_EQ(three.front().model, 2);
        EXPECT_EQ(three.back(), (ModelChoice { 51, 2 }));
        const std::vector<ModelChoice> four = rankingPlan(4, 100);
        EXPECT_EQ(catalogueModels(four).size(), 2u + 12u);
        EXPECT_EQ(four.back(), (ModelChoice { 51, 3 }));

        // Wider groups only fit multiple linear regression; narrower ones nothing.
        EXPECT_EQ(rankingPlan(7, 100), (std::vector<ModelChoice> { { 51, 6 } }));
        EXPECT_TRUE(rankingPlan(1, 100).empty());
    }

    TEST(RankingPlan, ParametersCountCoefficientsAndExponents)
    {
        EXPECT_EQ(parameterCount({ 1, std::nullopt }), 2);
        EXPECT_EQ(parameterCount({ 27, std::nullopt }), 9); // a0..a5, k1..k3 (each used twice)
        EXPECT_EQ(parameterCount({ 49, std::nullopt }), 13);
        EXPECT_EQ(parameterCount({ 52, 4 }), 5);
        EXPECT_EQ(parameterCount({ 51, 3 }), 4);
    }

    TEST(RankingPlan, LongestRunsAreHandedOutFirst)
    {
        for (const int groupSize : { 2, 3, 4 }) {
            SCOPED_TRACE("group size " + std::to_string(groupSize));
            const std::vector<ModelChoice> plan = rankingPlan(groupSize, 1000);
            const std::vector<std::size_t> order = longestFirst(plan);
            std::vector<std::size_t> sorted = order;
            std::sort(sorted.begin(), sorted.end());
            for (std::size_t i = 0; i < sorted.size(); ++i)
                ASSERT_EQ(sorted[i], i); // every run once
            // The exponents set the work: every exponent is a search pass and a dimension of
            // the refinement; the linear family has none and comes last.
            for (std::size_t i = 1; i < order.size(); ++i) {
                const ModelChoice& before = plan[order[i - 1]];
                const ModelChoice& after = plan[order[i]];
                EXPECT_GE(expectedWork(before), expectedWork(after));
                if (!before.elements && !after.elements) {
                    EXPECT_GE(
                        core::modelOf(before.model).exponents, core::modelOf(after.model).exponents)
                        << before.model << " before " << after.model;
                }
                if (expectedWork(before) == expectedWork(after)) {
                    EXPECT_LT(order[i - 1], order[i]); // equal work keeps the plan's order
                }
            }
        }
        const std::vector<ModelChoice> two = rankingPlan(2, 1000);
        EXPECT_EQ(two[longestFirst(two).front()], (ModelChoice { 13, std::nullopt }));
        EXPECT_EQ(two[longestFirst(two).back()], (ModelChoice { 52, 1 }));
        EXPECT_GT(expectedWork({ 52, 10 }), expectedWork({ 52, 9 }));
    }

    TEST(RankingPlan, LinearFamilyFormulasAreWrittenOutForTheirCount)
    {
        EXPECT_EQ(formulaOf({ 52, 3 }), "y = a0 + a1 * x ^ 1 + a2 * x ^ 2 + a3 * x ^ 3");
        EXPECT_EQ(formulaOf({ 51, 2 }), "y = a0 + a1 * x1 + a2 * x2");
        EXPECT_EQ(formulaOf({ 7, std::nullopt }), "y = a0 + a1 * x1 ^ k1");
    }

    TEST(RankRow, MessageTellsEachShowingOnceWithoutItsBlanks)
    {
        RankRow row;
        row.statistics.fill(1.5);
        EXPECT_TRUE(row.fitted());
        EXPECT_EQ(row.message(), "");
        using core::MessageWindowId;
        row.showings = { { MessageWindowId::Form5, "   Input error !", "" },
            { MessageWindowId::Form5, "   Input error !", "" },
            { MessageWindowId::Form6, "Model choice mistake !", "" },
            { MessageWindowId::Form5, "   Input error !", "" } };
        EXPECT_EQ(row.message(), "Input error !; Model choice mistake !; Input error !");
        // A message window means the run failed, whatever the labels show.
        EXPECT_FALSE(row.fitted());
        row.showings.clear();
        row.statistics[3].reset();
        EXPECT_FALSE(row.fitted());
    }

} // namespace
} // namespace quantem::ranking
