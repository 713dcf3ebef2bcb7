#include "ranking/Ranking.h"

#include "SameRows.h"
#include "core/NumberText.h"
#include "support/Expect.h"
#include "support/ModelSamples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <random>
#include <thread>

namespace quantem::ranking {
namespace {

    /// Groups of model with additive noise of the given size relative to y, from a fixed seed:
    /// the generator's raw output is the same on every platform.
    std::string noisySamples(core::ModelId model, int groups, double noise, double xHigh)
    {
        const results::CoefficientSet c = test::generatingModel(model);
        std::mt19937 engine(20261208u + static_cast<std::uint32_t>(model));
        const auto next = [&engine] { return static_cast<double>(engine()) / 4294967296.0; };
        std::vector<std::vector<double>> rows;
        for (int g = 0; g < groups; ++g) {
            const double x1 = 0.5 + (xHigh - 0.5) * next();
            const double x2 = 0.5 + (xHigh - 0.5) * next();
            const double x3 = 0.5 + (xHigh - 0.5) * next();
            const double y
                = *results::evaluateModel(model, c, x1, x2, x3) * (1.0 + noise * (next() - 0.5));
            switch (core::groupSize(model)) {
            case 2:
                rows.push_back({ x1, y });
                break;
            case 3:
                rows.push_back({ x1, x2, y });
                break;
            default:
                rows.push_back({ x1, x2, x3, y });
                break;
            }
        }
        return test::sampleFileText(rows);
    }

    std::vector<RankRow> rankGenerated(
        core::ModelId model, int groups, double noise, double xHigh = 3.0)
    {
        RankingInput input;
        input.sampleFile = noisySamples(model, groups, noise, xHigh);
        input.samples = std::to_string(groups);
        input.power = ".5";
        return rankModels(input, rankingPlan(core::groupSize(model), groups));
    }

    const RankRow& rowOf(const std::vector<RankRow>& rows, const ModelChoice& choice)
    {
        const auto found = std::find_if(
            rows.begin(), rows.end(), [&](const RankRow& row) { return row.choice == choice; });
        EXPECT_NE(found, rows.end()) << "model " << choice.model;
        return found != rows.end() ? *found : rows.front();
    }

    /// The generating model is first by AICc, or the first has as many parameters and an AICc
    /// within 1 % of the generating model's.
    void expectGeneratingModelFirst(core::ModelId model, double xHigh)
    {
        SCOPED_TRACE(model);
        const std::vector<RankRow> rows = rankGenerated(model, 60, 0.03, xHigh);
        ASSERT_FALSE(rows.empty());
        const RankRow& first = rows.front();
        const RankRow& generating = rowOf(rows, { model, std::nullopt });
        ASSERT_TRUE(first.aicc && generating.aicc);
        if (first.choice.model == model)
            return;
        EXPECT_EQ(first.parameters, generating.parameters) << "first: model " << first.choice.model;
        EXPECT_LE(std::fabs(*first.aicc - *generating.aicc), 0.01 * std::fabs(*generating.aicc))
            << "first: model " << first.choice.model;
    }

    TEST(Ranking, GeneratingModelOfTwoNumberGroupsRanksFirst)
    {
        expectGeneratingModelFirst(4, 10.0); // inverse ratio
        expectGeneratingModelFirst(8, 40.0); // logarithm, over a range no low polynomial follows
    }

    TEST(Ranking, GeneratingModelOfThreeNumberGroupsRanksFirst)
    {
        expectGeneratingModelFirst(16, 3.0); // two searched exponents
        expectGeneratingModelFirst(17, 3.0);
        expectGeneratingModelFirst(5, 3.0);
    }

    TEST(Ranking, GeneratingModelOfFourNumberGroupsRanksFirst)
    {
        expectGeneratingModelFirst(39, 3.0); // three searched exponents
        expectGeneratingModelFirst(40, 3.0);
        expectGeneratingModelFirst(6, 3.0);
    }

    TEST(Ranking, OneThreadAndManyGiveTheSameTable)
    {
        for (core::ModelId model : { 7, 19, 43 }) {
            SCOPED_TRACE(model);
            RankingInput input;
            input.sampleFile = noisySamples(model, 50, 0.03, 3.0);
            input.samples = "50";
            input.power = "1";
            const std::vector<ModelChoice> plan = rankingPlan(core::groupSize(model), 50);
            const std::vector<RankRow> serial = rankModels(input, plan, 1);
            EXPECT_EQ(serial.size(), plan.size());
            expectSameRows(serial, rankModels(input, plan, 4));
            expectSameRows(serial, rankModels(input, plan, 0));
        }
    }

    TEST(Ranking, RefinementNeverLeavesAFitWorse)
    {
        RankingInput input;
        input.sampleFile = noisySamples(16, 60, 0.03, 3.0);
        input.samples = "60";
        input.power = ".5";
        const std::vector<RankRow> rows = rankModels(input, rankingPlan(3, 60));
        bool lowered = false;
        std::size_t fitted = 0;
        for (const RankRow& row : rows) {
            SCOPED_TRACE(row.choice.model);
            if (!row.fitted())
                continue;
            ++fitted;
            ASSERT_TRUE(row.aicc && row.refinedAicc && row.refinedMeanError);
            EXPECT_LE(*row.refinedAicc, *row.aicc + 1E-9 * std::fabs(*row.aicc));
            lowered = lowered || *row.refinedAicc < *row.aicc - 1.0;
            if (core::usesLinearEngine(row.choice.model)) {
                // Already at the least-squares optimum: the refinement only re-solves it.
                EXPECT_TRUE(test::nearRelative(*row.refinedAicc, *row.aicc, 1E-9));
            }
        }
        EXPECT_GE(fitted, 20u);
        // The step search stops short of the optimum somewhere among them.
        EXPECT_TRUE(lowered);
    }

    TEST(Ranking, FailedRunsKeepTheirMessageAndRankLast)
    {
        // x = 0 is refused by every catalogue model; the linear family fits it.
        // Built whole: assigned member by member, GCC 12 warns of an uninitialised optional.
        const RankingInput input { "1,2.1\r\n0,3.9\r\n3,6.2\r\n4,7.9\r\n5,10.1\r\n6,12.2\r\n",
            "6" };
        const std::vector<ModelChoice> plan = rankingPlan(2, 6);
        const std::vector<RankRow> rows = rankModels(input, plan);
        ASSERT_EQ(rows.size(), plan.size());
        const std::size_t fitted = 5; // model 51 and degrees 1..4
        for (std::size_t i = 0; i < rows.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(rows[i].fitted(), i < fitted);
            if (i < fitted) {
                EXPECT_TRUE(core::usesLinearEngine(rows[i].choice.model));
                EXPECT_TRUE(rows[i].message().empty());
                continue;
            }
            EXPECT_EQ(rows[i].choice, plan[i - fitted]); // catalogue order among the failed
            EXPECT_EQ(rows[i].message(), "Input error !");
            EXPECT_FALSE(rows[i].statistic(Statistic::R));
            EXPECT_FALSE(rows[i].aicc);
        }
        // Degree 4 leaves one degree of freedom: no AICc, so it follows every fit that has one.
        EXPECT_EQ(rows[fitted - 1].choice, (ModelChoice { core::kPolynomialModel, 4 }));
        EXPECT_FALSE(rows[fitted - 1].aicc);
    }

    TEST(Ranking, NoSampleFileFailsEveryRun)
    {
        RankingInput input;
        input.samples = "8";
        const std::vector<RankRow> rows = rankModels(input, rankingPlan(3, 8));
        ASSERT_EQ(rows.size(), rankingPlan(3, 8).size());
        for (const RankRow& row : rows) {
            EXPECT_FALSE(row.fitted());
            if (!core::usesLinearEngine(row.choice.model)) {
                EXPECT_EQ(row.message(), "Have no data !");
            }
        }
    }

    std::vector<RankRow> catalogueRows(const std::vector<RankRow>& rows)
    {
        std::vector<RankRow> catalogue;
        std::copy_if(rows.begin(), rows.end(), std::back_inserter(catalogue),
            [](const RankRow& row) { return !row.equation; });
        return catalogue;
    }

    TEST(Ranking, SavedEquationThatMadeTheDataRanksFirstBesideUnchangedCatalogueRows)
    {
        // A damped cosine, which no catalogue model follows.
        std::string samples;
        std::uint32_t seed = 77u;
        for (int g = 0; g < 40; ++g) {
            seed = seed * 1664525u + 1013904223u;
            const double x = 0.5 + 0.14 * g;
            const double y = 3.1 * std::exp(-0.45 * x) * std::cos(1.3 * x) + 2.2
                + 0.01 * (static_cast<double>(seed >> 8) / 16777216.0 - 0.5);
            samples += core::recordNumber(x) + "," + core::recordNumber(y) + "\r\n";
        }
        RankingInput input;
        input.sampleFile = samples;
        input.samples = "40";
        using equation::EquationEntry;
        const std::vector<EquationEntry> library {
            { "line", "a + b*x", {} },
            { "damped", "A*exp(-k*x)*cos(w*x) + C",
                { { "A", 3.0 }, { "k", 0.5 }, { "w", 1.25 }, { "C", 2.0 } } },
            { "sigma weighted", "a*x", {}, equation::Weighting::Sigma },
            { "plane", "a*x1 + b*x2", {} },
        };
        const std::vector<EquationEntry> equations = equationsForGroupSize(library, 2);
        ASSERT_EQ(equations.size(), 3u); // not the plane
        const std::vector<ModelChoice> plan = rankingPlan(2, 40);
        const std::vector<RankRow> rows = rankModels(input, plan, 1, nullptr, equations);
        ASSERT_EQ(rows.size(), plan.size() + 3);

        const RankRow& first = rows.front();
        EXPECT_EQ(first.equation, "damped");
        EXPECT_EQ(first.choice.model, 0);
        EXPECT_EQ(first.parameters, 4);
        EXPECT_TRUE(first.fitted());
        ASSERT_EQ(first.equationValues.size(), 4u);
        EXPECT_NEAR(first.equationValues[2], 1.3, 0.01); // w
        EXPECT_NEAR(*first.statistic(Statistic::R), 1.0, 1E-04);
        EXPECT_LT(*first.statistic(Statistic::MeanError), 0.005);
        EXPECT_EQ(first.statisticTexts[0], core::doubleText(*first.statistic(Statistic::R)));
        const auto line = std::find_if(
            rows.begin(), rows.end(), [](const RankRow& row) { return row.equation == "line"; });
        ASSERT_NE(line, rows.end());
        EXPECT_TRUE(line->fitted());
        EXPECT_GT(*line->aicc, *first.aicc);
        // Refused: last, with its reason.
        EXPECT_EQ(rows.back().equation, "sigma weighted");
        EXPECT_FALSE(rows.back().fitted());
        EXPECT_NE(rows.back().message().find("sigma"), std::string::npos);

        // The catalogue's rows, and their order among themselves, are as without equations;
        // the equations' rows are the same bits on more threads.
        expectSameRows(catalogueRows(rows), rankModels(input, plan, 1));
        const std::vector<RankRow> parallel = rankModels(input, plan, 3, nullptr, equations);
        expectSameRows(parallel, rows);
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(parallel[i].equationValues, rows[i].equationValues);
    }

    TEST(Ranking, StopKeepsTheFinishedRows)
    {
        RankingInput input;
        input.sampleFile = noisySamples(24, 2000, 0.03, 3.0);
        input.samples = "2000";
        const std::vector<ModelChoice> plan = rankingPlan(3, 2000);

        RankingControl stopped;
        stopped.requestStop();
        EXPECT_TRUE(rankModels(input, plan, 2, &stopped).empty());

        RankingControl control;
        std::vector<RankRow> rows;
        std::thread ranking([&] { rows = rankModels(input, plan, 1, &control); });
        while (control.finished() < 3)
            std::this_thread::yield();
        control.requestStop();
        ranking.join();
        EXPECT_GE(rows.size(), 3u);
        EXPECT_LT(rows.size(), plan.size());
        // Each finished row is the one a whole ranking gives.
        for (const RankRow& row : rows) {
            const std::optional<RankRow> alone = fitModel(input, row.choice);
            ASSERT_TRUE(alone);
            EXPECT_EQ(row.statisticTexts, alone->statisticTexts);
            EXPECT_EQ(row.aicc, alone->aicc);
        }
    }

    TEST(Ranking, StoppedRunGivesNoRow)
    {
        RankingInput input;
        input.sampleFile = noisySamples(7, 30, 0.03, 3.0);
        input.samples = "30";
        const std::atomic<bool> stop { true };
        const std::atomic<bool> go { false };
        for (const ModelChoice& choice :
            { ModelChoice { 7, std::nullopt }, ModelChoice { core::kPolynomialModel, 2 } }) {
            EXPECT_FALSE(fitModel(input, choice, &stop)) << choice.model;
            EXPECT_TRUE(fitModel(input, choice, &go)) << choice.model;
        }
    }

} // namespace
} // namespace quantem::ranking
