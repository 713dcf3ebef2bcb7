#include "engine_power/PowerEvaluation.h"

#include "core/Fault.h"
#include "core/NumberText.h"
#include "core/Record.h"
#include "engine_linear/LinearFamilyFit.h"
#include "engine_power/PowerFixture.h"
#include "support/Expect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace quantem::power {
namespace {

    using core::MessageWindowId;

    class PowerEvaluationTest : public test::PowerFixture
    {
    protected:
        ExponentSet exponents {};
        SearchIndex index = 1;

        EvaluationOutcome evaluate(double t, int k, core::ModelId model)
        {
            const std::optional<core::SampleData> data = loadSamples();
            const PowerRun run { session, data ? &*data : nullptr };
            return powerEvaluation(run, t, exponents, index, k, model);
        }

        std::optional<core::SampleData> loadSamples()
        {
            try {
                return core::SampleData::load(session.store);
            } catch (const core::Fault&) {
                return std::nullopt;
            }
        }

        /// rr.sys after one evaluation from a criterion of 0, so that equal fits read the same.
        std::string fitLine(double t, core::ModelId model)
        {
            root.writeFile("sys/r1.sys", "0\r\n");
            root.writeFile("sys/rr.sys", "");
            index = 1;
            evaluate(t, core::modelOf(model).exponents, model);
            return sys("rr.sys");
        }

        std::vector<double> stepResult() const
        {
            return session.store.readNumbers(core::ScratchFile::Rr, 4);
        }

        std::size_t showings(MessageWindowId id) const
        {
            std::size_t count = 0;
            for (const core::Showing& s : session.messages.log())
                count += s.window == id ? 1 : 0;
            return count;
        }

        /// x = 1.5, 2.5, ..., y near 2 + 3·x^0.7 but off the curve, so the fit is not exact.
        std::vector<std::vector<double>> noisyCurve(int n) const
        {
            std::vector<std::vector<double>> groups;
            for (int i = 0; i < n; ++i) {
                const double x = 1.5 + i;
                groups.push_back({ x, 2.0 + 3.0 * std::pow(x, 0.7) + 0.125 * ((i * 7) % 5 - 2) });
            }
            return groups;
        }
    };

    TEST_F(PowerEvaluationTest, FitWritesCriterionAndStepResultAndShowsShiftedPanels)
    {
        choose(7, 9);
        const auto groups = noisyCurve(9);
        samples(groups);
        root.writeFile("sys/r1.sys", "123.5\r\n");
        session.form1.Picture2 = linear::kIndicatorOlive;

        ASSERT_EQ(evaluate(0.65, 1, 7), EvaluationOutcome::Stepped);

        // The same fit by the closed form of one regressor u = x^0.65.
        double su = 0, sy = 0, suu = 0, suy = 0, syy = 0;
        for (const auto& g : groups) {
            const double u = std::pow(g[0], 0.65);
            su += u;
            sy += g[1];
            suu += u * u;
            suy += u * g[1];
            syy += g[1] * g[1];
        }
        const double n = 9.0;
        const double luu = suu - su * su / n, luy = suy - su * sy / n, lyy = syy - sy * sy / n;
        const double u = luy / luu * luy, q = lyy - u;
        const std::vector<double> step = stepResult();
        EXPECT_NEAR_REL(step[1], std::sqrt(u / lyy), 1e-12);
        EXPECT_NEAR_REL(step[2], (n - 2) * u / q, 1e-9);
        EXPECT_NEAR_REL(step[3], std::sqrt(q / (n - 2)), 1e-9);
        // The criterion is |F|; the change is taken against the criterion r1.sys held before.
        EXPECT_EQ(sys("r1.sys"), core::recordNumber(std::fabs(step[2])) + "\r\n");
        EXPECT_EQ(step[0], std::fabs(step[2]) - 123.5);
        EXPECT_EQ(exponents[0], 0.65);

        const auto& panels = session.form1.StatusBar1;
        EXPECT_EQ(panels[3], "1");
        EXPECT_EQ(panels[4], core::doubleText(step[1] - 1.5));
        EXPECT_EQ(panels[5], core::doubleText(step[2] - 9850));
        EXPECT_EQ(panels[6], core::doubleText(step[3] + 50));
        EXPECT_EQ(session.form1.Picture2, linear::kIndicatorBlue); // toggled after the data pass
        EXPECT_TRUE(session.messages.log().empty());
        EXPECT_EQ(sys("XB.sys"), "<missing>"); // not the final evaluation
    }

    TEST_F(PowerEvaluationTest, SampleChecksRefuseZeroNegativeVariablesAndZeroYInEveryModel)
    {
        struct Case
        {
            core::ModelId model;
            std::vector<double> badGroup;
        };
        const std::vector<Case> cases {
            { 1, { 0.0, 4.2 } }, // linear model refuses x1 = 0 although it would not need it
            { 7, { -1.5, 4.2 } }, // negative x1
            { 5, { 2.5, -0.75, 4.2 } }, // inverse ratio with a negative x2
            { 16, { 2.5, 3.5, 0.0 } }, // y = 0
            { 39, { 2.5, 3.5, 0.0, 4.2 } }, // x3 = 0
            { 45, { 2.5, 3.5, 1.5, 0.0 } }, // y = 0 of four numbers
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.model);
            session.messages = {};
            choose(c.model, 3);
            root.writeFile("sys/rr.sys", "");
            std::vector<double> good(c.badGroup.size(), 1.25);
            good.back() = 7.5;
            samples({ good, c.badGroup, good });
            exponents = {};
            EXPECT_EQ(evaluate(0.8, core::modelOf(c.model).exponents, c.model),
                EvaluationOutcome::InputError);
            ASSERT_EQ(session.messages.log().size(), 1u);
            EXPECT_EQ(session.messages.log()[0].text, "   Input error !");
            EXPECT_EQ(sys("r1.sys"), "0\r\n");
            EXPECT_EQ(sys("rr.sys"), "");
        }
    }

    TEST_F(PowerEvaluationTest, RefusedGroupKeepsTheExponentsTheGroupsBeforeItSet)
    {
        choose(16, 3);
        samples({ { 1.0, 2.0, 0.0 }, { 2.0, 3.0, 4.0 }, { 3.0, 4.0, 5.0 } });
        exponents = { 9, 9, 9, 9, 9, 9 };
        EXPECT_EQ(evaluate(0.8, 2, 16), EvaluationOutcome::InputError);
        EXPECT_EQ(exponents, (ExponentSet { 9, 9, 9, 9, 9, 9 })); // refused before any was set

        samples({ { 1.0, 2.0, 3.0 }, { 2.0, 3.0, 0.0 }, { 3.0, 4.0, 5.0 } });
        EXPECT_EQ(evaluate(0.8, 2, 16), EvaluationOutcome::InputError);
        EXPECT_EQ(exponents, (ExponentSet { 0.8, 0.5, 9, 9, 9, 9 }));
    }

    TEST_F(PowerEvaluationTest, EqualValuesAreNudgedApart)
    {
        // With values this small the nudge of x1 to x2 + 1E-16 decides the fit: it must equal the
        // fit of data that carry the nudged value themselves, and differ from an unnudged one.
        const std::vector<std::vector<double>> tiny { { 1E-20, 1E-20, 5.0 }, { 2E-20, 3E-20, 7.0 },
            { 4E-20, 1E-20, 6.0 }, { 3E-20, 5E-20, 9.0 }, { 5E-20, 2E-20, 4.0 } };
        choose(2, 5);
        samples(tiny);
        const std::string nudged = fitLine(0, 2);

        auto explicitNudge = tiny;
        explicitNudge[0][0] = 1E-20 + 1E-16;
        EXPECT_EQ(core::recordNumber(explicitNudge[0][0]), "1.0001E-16");
        samples(explicitNudge);
        EXPECT_EQ(fitLine(0, 2), nudged);

        auto unnudged = tiny;
        unnudged[0][0] = 1.5E-20;
        samples(unnudged);
        EXPECT_NE(fitLine(0, 2), nudged);

        // Four numbers: x1 equal to x3 moves x1 to x3 - 2E-16, below 0 for a value this small.
        choose(39, 3);
        samples({ { 2.0, 3.0, 4.0, 5.0 }, { 1E-20, 3E-20, 1E-20, 5.0 }, { 3.0, 4.0, 5.0, 6.0 } });
        EXPECT_EQ(evaluate(0.5, 3, 39), EvaluationOutcome::InputError);
    }

    TEST_F(PowerEvaluationTest, FourNumberGroupsHoldYInSinglePrecision)
    {
        const std::vector<std::vector<double>> groups { { 1.5, 2.25, 3.5, 0.1 },
            { 2.5, 1.25, 4.75, 0.7 }, { 3.5, 4.5, 1.5, 1.3 }, { 4.5, 3.75, 2.25, 0.9 },
            { 5.5, 6.5, 5.25, 2.1 }, { 6.5, 5.25, 6.5, 1.7 } };
        choose(3, 6);
        samples(groups);
        const std::string reference = fitLine(0, 3);

        // y = 0.1 is fitted as 0.100000001490116: data holding the single values fit identically.
        auto singles = groups;
        for (auto& g : singles)
            g[3] = static_cast<double>(static_cast<float>(g[3]));
        EXPECT_EQ(core::doubleText(singles[0][3]), "0.100000001490116");
        samples(singles);
        EXPECT_EQ(fitLine(0, 3), reference);

        // A change of y below single resolution changes nothing.
        auto nearby = groups;
        nearby[0][3] = 0.1 + 1E-12;
        samples(nearby);
        EXPECT_EQ(fitLine(0, 3), reference);
        nearby[0][3] = 0.1 + 1E-7;
        samples(nearby);
        EXPECT_NE(fitLine(0, 3), reference);
    }

    TEST_F(PowerEvaluationTest, ColumnOffsetsAreAddedWithTheFourthAsASixteenBitInteger)
    {
        const std::vector<std::vector<double>> groups { { 1.5, 2.25, 3.5, 0.375 },
            { 2.5, 1.25, 4.75, 0.75 }, { 3.5, 4.5, 1.5, 1.25 }, { 4.5, 3.75, 2.25, 0.875 },
            { 5.5, 6.5, 5.25, 2.125 }, { 6.5, 5.25, 6.5, 1.625 } };
        choose(39, 6);
        samples(groups);
        const std::string reference = fitLine(0.5, 39);

        // culi.sys 0.5, 1, 0.25, 2.5: the fourth offset is 2 (halves to even), so data shifted
        // back by these amounts fit exactly as the originals.
        auto shifted = groups;
        for (auto& g : shifted) {
            g[0] -= 0.5;
            g[1] -= 1.0;
            g[2] -= 0.25;
            g[3] -= 2.0;
        }
        root.writeFile("sys/culi.sys", "0.5,1,0.25,2.5\r\n");
        samples(shifted);
        EXPECT_EQ(fitLine(0.5, 39), reference);
    }

    TEST_F(PowerEvaluationTest, ArithmeticFailuresEndTheEvaluationByTheirClass)
    {
        choose(7, 9);
        samples(noisyCurve(9));

        // x^400 leaves the double range: model choice mistake, no step result.
        EXPECT_EQ(evaluate(400.0, 1, 7), EvaluationOutcome::ModelChoiceMistake);
        ASSERT_EQ(session.messages.log().size(), 1u);
        EXPECT_EQ(session.messages.log()[0].window, MessageWindowId::Form6);
        EXPECT_EQ(session.messages.log()[0].text, "Model choice mistake !");
        EXPECT_EQ(sys("rr.sys"), "<missing>");

        // Equal y values make R a 0/0 after the data pass: the same message. (Square x keep the
        // terms x^0.5 exact, so U comes out exactly 0.)
        samples({ { 1.0, 5.0 }, { 4.0, 5.0 }, { 9.0, 5.0 }, { 16.0, 5.0 }, { 25.0, 5.0 },
            { 36.0, 5.0 }, { 49.0, 5.0 }, { 64.0, 5.0 }, { 81.0, 5.0 } });
        EXPECT_EQ(evaluate(0.5, 1, 7), EvaluationOutcome::ModelChoiceMistake);
        EXPECT_EQ(showings(MessageWindowId::Form6), 2u);

        // Model 10 with k1 = k2 + 0.25 has two equal terms: a zero pivot ends it without a word.
        choose(10, 9);
        samples(noisyCurve(9));
        session.messages = {};
        const auto panels = session.form1.StatusBar1;
        EXPECT_EQ(evaluate(0.75, 2, 10), EvaluationOutcome::ZeroPivot);
        EXPECT_TRUE(session.messages.log().empty());
        EXPECT_EQ(sys("r1.sys"), "0\r\n");
        EXPECT_EQ(sys("rr.sys"), "<missing>");
        EXPECT_EQ(session.form1.StatusBar1, panels);

        // As many groups as coefficients: S divides by N - m = 0, which ends it silently.
        choose(7, 2);
        samples(noisyCurve(2));
        EXPECT_EQ(evaluate(0.65, 1, 7), EvaluationOutcome::EndedSilently);
        EXPECT_TRUE(session.messages.log().empty());
        EXPECT_EQ(sys("rr.sys"), "<missing>");

        // An element count that is not the model's is never fitted.
        choose(7, 9);
        samples(noisyCurve(9));
        session.form1.Text3 = "2";
        EXPECT_EQ(evaluate(0.65, 1, 7), EvaluationOutcome::EndedSilently);
        EXPECT_EQ(sys("rr.sys"), "<missing>");
    }

    TEST_F(PowerEvaluationTest, PerfectFitPublishesAtOnceWithoutTouchingTheCriterionFiles)
    {
        choose(1, 4);
        samples({ { 1.0, 5.0 }, { 3.0, 11.0 }, { 5.0, 17.0 }, { 7.0, 23.0 } });
        root.writeFile("sys/r1.sys", "77\r\n");
        index = 1;
        ASSERT_EQ(evaluate(0.5, 0, 1), EvaluationOutcome::PerfectFit);
        EXPECT_EQ(index, 1); // k + 1 for a model without exponents
        EXPECT_EQ(sys("r1.sys"), "77\r\n");
        EXPECT_EQ(sys("rr.sys"), "<missing>");
        EXPECT_EQ(session.form1.Label18, "1E+20");
        EXPECT_EQ(session.form1.Label19, "0");
        EXPECT_EQ(session.form1.StatusBar1[5], "1E+20");
        EXPECT_EQ(session.form1.StatusBar1[6], "50");
        EXPECT_EQ(sys("XB.sys"), "2,3\r\n1,1E+20,0\r\n");
    }

} // namespace
} // namespace quantem::power
