#include "engine_power/ExponentSearch.h"

#include "core/NumberText.h"
#include "core/Record.h"
#include "engine_power/PowerEvaluation.h"
#include "engine_power/PowerFixture.h"
#include "engine_power/PublishPowerResult.h"
#include "support/Recording.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <vector>

namespace quantem::power {
namespace {

    struct Probe
    {
        double t;
        ExponentSet exponents;
        SearchIndex index;
        EvaluationOutcome outcome;
    };

    class ExponentSearchTest : public test::PowerFixture
    {
    protected:
        std::vector<Probe> probes;

        void search(int k, core::ModelId model)
        {
            exponentSearch(session, k, model,
                [this](double t, const ExponentSet& e, SearchIndex i, EvaluationOutcome o) {
                    probes.push_back({ t, e, i, o });
                });
        }

        void powerCurve()
        {
            std::vector<std::vector<double>> groups;
            for (int x = 1; x <= 10; ++x)
                groups.push_back({ double(x), 2.0 + 3.0 * std::pow(double(x), 0.7) });
            samples(groups);
        }
    };

    TEST_F(ExponentSearchTest, ModelSevenClimbsToTheGeneratingExponentAndStepsBack)
    {
        choose(7, 10);
        powerCurve();
        quantem::test::CountingProgress progress;
        session.progress = &progress;
        search(1, 7);

        ASSERT_EQ(probes.size(), 24u); // 23 probes and the final evaluation
        EXPECT_EQ(progress.calls, 24);
        EXPECT_EQ(probes[0].t, 0.5);
        EXPECT_EQ(probes[1].t, 0.5 - 0.01);
        double t = 0.5;
        for (std::size_t p = 2; p < 23; ++p) {
            t += 0.01;
            EXPECT_EQ(probes[p].t, t) << p;
        }
        EXPECT_EQ(probes[21].t, 0.7000000000000002);
        EXPECT_EQ(probes[22].t, 0.7100000000000002);
        EXPECT_EQ(probes[23].t, 0.7000000000000002);
        for (std::size_t p = 0; p < 23; ++p)
            EXPECT_EQ(probes[p].outcome, EvaluationOutcome::Stepped) << p;
        EXPECT_EQ(session.form1.Label10, "回归计算完成");
        EXPECT_EQ(session.form1.Label11, "0.7");
        EXPECT_EQ(probes[23].exponents[0], 0.7); // cut at publication
    }

    TEST_F(ExponentSearchTest, LaterExponentsStartFromTheInitialValueWithEarlierOnesHeld)
    {
        choose(10, 10);
        powerCurve();
        search(2, 10);

        // k1 keeps the candidate of the last evaluation of its pass: the one at which the
        // criterion fell, one step past the best.
        std::size_t firstOfK2 = 0;
        while (firstOfK2 < probes.size() && probes[firstOfK2].index == 1)
            ++firstOfK2;
        ASSERT_GT(firstOfK2, 2u);
        ASSERT_LT(firstOfK2, probes.size());
        const double k1 = probes[firstOfK2 - 1].t;
        EXPECT_EQ(probes[firstOfK2].t, 0.5);
        EXPECT_EQ(probes[firstOfK2].exponents[0], k1);
        EXPECT_EQ(probes[firstOfK2].exponents[1], 0.5);
        for (std::size_t p = 0; p < firstOfK2; ++p)
            EXPECT_EQ(probes[p].exponents[1], 0.5) << p; // k2 waits at s while k1 is searched

        // The final evaluation sets nothing: both exponents are the last candidates of their
        // passes, cut to the grid, k2 with its offset.
        const Probe& last = probes.back();
        const Probe& lastOfK2 = probes[probes.size() - 2];
        EXPECT_EQ(last.index, 3);
        EXPECT_EQ(last.exponents[0], cutExponent(k1));
        EXPECT_EQ(last.exponents[1], cutExponent(lastOfK2.t) + 0.25);
        EXPECT_EQ(session.form1.Label11, core::doubleText(cutExponent(k1)));
        EXPECT_EQ(session.form1.Label12, core::doubleText(cutExponent(lastOfK2.t) + 0.25));
    }

    TEST_F(ExponentSearchTest, StartValueAndModelsWithoutExponents)
    {
        // A start value that is not a number is 0: the first probes are 0 and -0.01.
        choose(7, 10, "abc");
        powerCurve();
        search(1, 7);
        ASSERT_GE(probes.size(), 3u);
        EXPECT_EQ(probes[0].t, 0.0);
        EXPECT_EQ(probes[1].t, -0.01);

        // A start value is taken in single precision.
        probes.clear();
        choose(7, 10, "0.3");
        search(1, 7);
        ASSERT_GE(probes.size(), 2u);
        EXPECT_EQ(probes[0].t, static_cast<double>(0.3f));
        EXPECT_EQ(probes[1].t, static_cast<double>(0.3f) - 0.01);

        // Model 8 has nothing to search: one evaluation, the final one, with the caption set
        // before it begins.
        probes.clear();
        choose(8, 10, "abc");
        std::vector<std::string> captions;
        exponentSearch(
            session, 0, 8, [&](double, const ExponentSet&, SearchIndex, EvaluationOutcome) {
                captions.push_back(session.form1.Label10);
            });
        EXPECT_EQ(captions, std::vector<std::string> { "回归计算完成" });
        EXPECT_EQ(session.form1.Label4, "");
        EXPECT_EQ(session.form1.Label11, "");
        EXPECT_NE(
            session.form1.Text5.find("Power initial value is: Don't setting initial value \r\n"),
            std::string::npos);

        // An initial value beyond the single range, or so far out that steps of 0.01 would
        // never reach the bounds, ends the run before any evaluation.
        for (const char* initial : { "1e39", "-1e15", "100.5" }) {
            session.messages = {};
            probes.clear();
            choose(7, 10, initial);
            root.writeFile("sys/XB.sys", "old\r\n");
            search(1, 7);
            EXPECT_TRUE(probes.empty()) << initial;
            ASSERT_EQ(session.messages.log().size(), 1u);
            EXPECT_EQ(session.messages.log()[0].text, "   Input error !");
            EXPECT_EQ(sys("XB.sys"), "old\r\n");
        }
    }

    TEST_F(ExponentSearchTest, FailedEvaluationsLeaveTheSearchReadingAStaleStepResult)
    {
        // A group with y = 0 fails every evaluation; rr.sys keeps what an earlier run wrote.
        choose(7, 3);
        samples({ { 1.5, 2.5 }, { 2.5, 0.0 }, { 3.5, 4.5 } });

        root.writeFile("sys/rr.sys", "-3,0.5,2,1\r\n"); // falling: the upward loop stops at once
        search(1, 7);
        ASSERT_EQ(probes.size(), 4u);
        EXPECT_EQ(probes[2].t, 0.51);
        EXPECT_EQ(probes[3].t, 0.5);
        EXPECT_EQ(session.messages.log().size(), 4u);
        EXPECT_EQ(sys("XB.sys"), "<missing>");
        EXPECT_EQ(session.form1.Label10, "回归计算完成");

        // Rising: the downward loop runs to its bound, 1051 passes from 0.5.
        probes.clear();
        root.writeFile("sys/rr.sys", "2.5,0.5,2,1\r\n");
        search(1, 7);
        ASSERT_EQ(probes.size(), 2u + 1051u + 1u);
        EXPECT_EQ(probes[2].t, 0.49); // the first pass repeats s - 0.01
        EXPECT_EQ(probes[1051].t, -9.999999999999831);
        EXPECT_LE(probes[1052].t, -10.0);
        EXPECT_NEAR(probes[1052].t, -10.01, 1e-9);
        EXPECT_EQ(probes[1053].t, probes[1052].t + 0.01); // k = 1 fits one step back

        // No rr.sys at all reads as no change: upward to the bound, 951 passes.
        probes.clear();
        std::filesystem::remove(root.sys("rr.sys"));
        search(1, 7);
        ASSERT_EQ(probes.size(), 2u + 951u + 1u);
        EXPECT_GE(probes[952].t, 10.0);
        EXPECT_NEAR(probes[952].t, 10.01, 1e-9);
        for (const Probe& p : probes)
            EXPECT_EQ(p.outcome, EvaluationOutcome::InputError);
    }

    TEST_F(ExponentSearchTest, PerfectFitPublishesAtOnceAndOnEveryLaterEvaluationOfThePass)
    {
        // y = 1 + 2·x1^0.5 + 3·x2^0.5 with square x: exact at the very first probe.
        choose(16, 6);
        samples({ { 25, 4, 17 }, { 9, 16, 19 }, { 4, 25, 20 }, { 16, 1, 12 }, { 9, 9, 16 },
            { 16, 25, 24 } });
        root.writeFile("sys/rr.sys", "-1,0,0,0\r\n"); // an earlier run's falling step
        session.form1.Label10 = "Regress analysis, wait !";

        // Every evaluation that publishes sets Label18 afresh.
        int publications = 0;
        exponentSearch(session, 2, 16,
            [&](double t, const ExponentSet& e, SearchIndex i, EvaluationOutcome o) {
                probes.push_back({ t, e, i, o });
                if (session.form1.Label18 == "1E+20")
                    ++publications;
                session.form1.Label18 = "-";
            });

        // The two probes and one upward pass (the stale falling dF stops it); k2 never searched.
        ASSERT_EQ(probes.size(), 3u);
        EXPECT_EQ(publications, 3);
        for (const Probe& p : probes) {
            EXPECT_EQ(p.outcome, EvaluationOutcome::PerfectFit);
            EXPECT_EQ(p.index, 3);
            EXPECT_EQ(p.exponents[0], 0.5); // set by the first probe only, then held
            EXPECT_EQ(p.exponents[1], 0.5);
        }
        EXPECT_EQ(probes[1].t, 0.49);
        EXPECT_EQ(session.form1.Label10, "Regress analysis, wait !");
        EXPECT_EQ(sys("XB.sys"), "1,2,3,0.5,0.5\r\n1,1E+20,0\r\n");
        EXPECT_EQ(sys("r1.sys"), "0\r\n");
        EXPECT_EQ(sys("rr.sys"), "-1,0,0,0\r\n");
    }

    TEST_F(ExponentSearchTest, CriterionChangeIsReadInSinglePrecision)
    {
        EXPECT_EQ(readCriterionChange(session.store), 0.0f); // missing
        root.writeFile("sys/rr.sys", "abc,1,2,3\r\n");
        EXPECT_EQ(readCriterionChange(session.store), 0.0f);
        root.writeFile("sys/rr.sys", "1E-50,1,2,3\r\n");
        EXPECT_EQ(readCriterionChange(session.store), 0.0f); // too small for a single: no change
        root.writeFile("sys/rr.sys", "-2.5E+300,1,2,3\r\n");
        EXPECT_EQ(readCriterionChange(session.store), -std::numeric_limits<float>::infinity());
        root.writeFile("sys/rr.sys", "4.25E+300,1,2,3\r\n");
        EXPECT_EQ(readCriterionChange(session.store), std::numeric_limits<float>::infinity());
        root.writeFile("sys/rr.sys", "-0.375,1,2,3\r\n");
        EXPECT_EQ(readCriterionChange(session.store), -0.375f);
    }

} // namespace
} // namespace quantem::power
