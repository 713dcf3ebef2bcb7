#include "core/SampleData.h"
#include "engine_power/ExponentSearch.h"
#include "engine_power/PowerEvaluation.h"
#include "engine_power/PowerFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

// Where the search and the evaluation meet their limits exactly: a downward loop whose candidate
// lands on the lower bound itself, and an element count smaller than the model's.
namespace quantem::power {
namespace {

    class SearchEdgeGuardTest : public test::PowerFixture
    {
    protected:
        std::vector<double> candidates;
        std::vector<EvaluationOutcome> outcomes;

        void search(int k, core::ModelId model)
        {
            exponentSearch(session, k, model,
                [this](double t, const ExponentSet&, SearchIndex, EvaluationOutcome o) {
                    candidates.push_back(t);
                    outcomes.push_back(o);
                });
        }
    };

    // From this start value (-1.67999999762386E-13 in single precision) one thousand steps of
    // 0.01 down end on -10 exactly, with no rounding left over.
    constexpr const char* kStartOnTheBound = "-1.68E-13";

    double landOnTheBound()
    {
        double t = static_cast<double>(-1.68E-13f);
        for (int step = 0; step < 1000; ++step)
            t = t - 0.01;
        return t;
    }

    TEST_F(SearchEdgeGuardTest, ADownwardLoopThatLandsOnTheLowerBoundStopsThere)
    {
        ASSERT_EQ(landOnTheBound(), -10.0); // the premise of this test

        // Every evaluation fails (y = 0 in the last group) and rr.sys keeps an earlier run's
        // rising step: the downward loop goes on until its candidate is at or below -10.
        choose(7, 4, kStartOnTheBound);
        samples({ { 1.35, 2.7 }, { 2.2, 1.95 }, { 0.65, 3.15 }, { 3.85, 0.0 } });
        root.writeFile("sys/rr.sys", "2.5,0.5,2,1\r\n");
        search(1, 7);

        // Two probes, 1000 loop passes (the first repeats s - 0.01), the final evaluation.
        ASSERT_EQ(candidates.size(), 2u + 1000u + 1u);
        EXPECT_EQ(candidates[1001], -10.0);
        EXPECT_GT(candidates[1000], -10.0);
        EXPECT_EQ(candidates[1002], -10.0 + 0.01); // k = 1 fits one step back
        // Each failed evaluation shows its message window once.
        EXPECT_EQ(session.messages.log().size(), 1003u);
        for (EvaluationOutcome outcome : outcomes)
            EXPECT_EQ(outcome, EvaluationOutcome::InputError);
    }

    TEST_F(SearchEdgeGuardTest, AnExponentThatReachesTheLowerBoundIsPublishedFromThere)
    {
        // y = 0.75 + 2.5·x1^-11.3 at uneven x: the fit keeps improving as k1 falls, so the
        // criterion rises at every step down to the bound.
        std::vector<std::vector<double>> groups;
        for (double x : { 1.05, 1.12, 1.185, 1.3, 1.42, 1.57, 1.66, 1.9, 2.05, 2.4 })
            groups.push_back({ x, 0.75 + 2.5 * std::pow(x, -11.3) });

        // Model 7 (k = 1): the final evaluation fits with the candidate one step back.
        choose(7, 10, kStartOnTheBound);
        samples(groups);
        search(1, 7);
        ASSERT_GE(candidates.size(), 1002u);
        EXPECT_EQ(candidates.size(), 1003u);
        EXPECT_EQ(candidates[1001], -10.0);
        EXPECT_EQ(session.form1.Label11, "-9.99");

        // Model 10 (k = 2, the second term x1^(k2 + 0.25)): k1 keeps the candidate that
        // reached the bound, -10 on the grid.
        candidates.clear();
        choose(10, 10, kStartOnTheBound);
        samples(groups);
        search(2, 10);
        ASSERT_GE(candidates.size(), 1002u);
        EXPECT_EQ(candidates[1001], -10.0);
        EXPECT_EQ(session.form1.Label11, "-10");
    }

    TEST_F(SearchEdgeGuardTest, AnElementCountOtherThanTheModelsIsNeverFitted)
    {
        // Too few as well as too many: the terms of the model cannot be fitted with either.
        struct Case
        {
            core::ModelId model;
            const char* elements;
        };
        for (const Case c :
            { Case { 10, "1" }, Case { 24, "3" }, Case { 7, "0" }, Case { 24, "5" } }) {
            SCOPED_TRACE(c.elements);
            choose(c.model, 6);
            if (core::groupSize(c.model) == 2)
                samples({ { 1.35, 2.7 }, { 2.2, 1.95 }, { 0.65, 3.15 }, { 3.85, 0.45 },
                    { 1.7, 2.05 }, { 2.95, 1.15 } });
            else
                samples({ { 1.35, 0.4, 2.7 }, { 2.2, 1.25, 1.95 }, { 0.65, 2.5, 3.15 },
                    { 3.85, 0.9, 0.45 }, { 1.7, 3.1, 2.05 }, { 2.95, 1.6, 1.15 } });
            session.form1.Text3 = c.elements;
            root.writeFile("sys/r1.sys", "7.5\r\n");
            ExponentSet exponents {};
            SearchIndex index = 1;
            const std::optional<core::SampleData> data = core::SampleData::load(session.store);
            const PowerRun run { session, &*data };
            EXPECT_EQ(powerEvaluation(
                          run, 0.35, exponents, index, core::modelOf(c.model).exponents, c.model),
                EvaluationOutcome::EndedSilently);
            EXPECT_TRUE(session.messages.log().empty());
            EXPECT_EQ(sys("r1.sys"), "7.5\r\n");
            EXPECT_EQ(sys("rr.sys"), "<missing>");
            EXPECT_EQ(sys("XB.sys"), "<missing>");
        }
    }

} // namespace
} // namespace quantem::power
