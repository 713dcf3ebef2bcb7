#include "equation/EquationTemplates.h"

#include "CompiledFormula.h"
#include "equation/TapeEvaluation.h"
#include "support/Expect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>

namespace quantem::equation {
namespace {

    const EquationEntry& templateNamed(const std::string& name)
    {
        const std::vector<EquationEntry>& all = equationTemplates();
        const auto found = std::find_if(
            all.begin(), all.end(), [&](const EquationEntry& e) { return e.name == name; });
        EXPECT_NE(found, all.end()) << name;
        return found != all.end() ? *found : all.front();
    }

    /// 80 groups of the formula at the parameters, x evenly from low to high, with an additive
    /// disturbance of 1E-04 of the largest |y| from a fixed sequence.
    EquationData generated(
        const Tape& tape, const std::map<std::string, double>& truth, double low, double high)
    {
        constexpr int kGroups = 80;
        EquationData data;
        data.variables.resize(1);
        for (int i = 0; i < kGroups; ++i)
            data.variables[0].push_back(low + (high - low) * i / (kGroups - 1.0));
        std::vector<double> p;
        for (const std::string& name : tape.parameters)
            p.push_back(truth.at(name));
        data.y.resize(kGroups);
        const double* columns[] { data.variables[0].data() };
        BlockEvaluator(tape).evaluate(p, columns, kGroups, data.y.data(), nullptr, 0);
        double scale = 0.0;
        for (double y : data.y)
            scale = std::max(scale, std::fabs(y));
        std::uint32_t seed = 2024u;
        for (double& y : data.y) {
            seed = seed * 1664525u + 1013904223u;
            y += 1E-04 * scale * (static_cast<double>(seed >> 8) / 16777216.0 - 0.5);
        }
        return data;
    }

    struct Case
    {
        const char* name;
        std::map<std::string, double> truth;
        double low;
        double high;
    };

    TEST(EquationTemplates, EachRecoversTheParametersItGeneratedFromStartsReadOffTheData)
    {
        const std::vector<Case> cases {
            { "Exponential decay", { { "A", 4.2 }, { "k", 0.63 }, { "C", 0.8 } }, 0.0, 8.0 },
            { "Double exponential",
                { { "A1", 3.1 }, { "k1", 1.9 }, { "A2", 1.4 }, { "k2", 0.21 }, { "C", 0.35 } }, 0.0,
                15.0 },
            { "Logistic", { { "L", 5.3 }, { "k", 1.35 }, { "xmid", 4.2 } }, 0.0, 10.0 },
            { "Gompertz", { { "a", 7.5 }, { "b", 4.1 }, { "c", 0.55 } }, 0.0, 12.0 },
            { "Michaelis-Menten", { { "Vmax", 3.7 }, { "Km", 1.9 } }, 0.1, 20.0 },
            { "Hill", { { "Vmax", 2.6 }, { "K", 3.1 }, { "n", 2.4 } }, 0.2, 12.0 },
            { "Gaussian peak",
                { { "A", 5.5 }, { "centre", 4.3 }, { "width", 0.85 }, { "base", 1.2 },
                    { "slope", 0.15 } },
                0.0, 10.0 },
            { "Lorentzian", { { "A", 3.8 }, { "centre", 5.1 }, { "hwhm", 0.7 }, { "C", 0.6 } }, 0.0,
                10.0 },
            { "Power law", { { "A", 2.3 }, { "b", 0.72 }, { "C", 1.1 } }, 0.5, 20.0 },
            { "Arrhenius", { { "A", 3.2E+07 }, { "Ea", 52000.0 } }, 280.0, 380.0 },
            { "Weibull", { { "A", 6.1 }, { "lambda", 3.4 }, { "k", 1.8 } }, 0.0, 10.0 },
            { "Damped sine",
                { { "A", 2.2 }, { "decay", 0.18 }, { "omega", 2.1 }, { "phase", 0.45 },
                    { "C", 0.3 } },
                0.0, 12.0 },
        };
        ASSERT_EQ(cases.size(), equationTemplates().size());
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            const EquationEntry& templ = templateNamed(c.name);
            const Tape tape = compiled(templ.formula);
            ASSERT_EQ(tape.parameters.size(), c.truth.size());
            const EquationData data = generated(tape, c.truth, c.low, c.high);
            const EquationEntry started = templateWithStarts(templ, data);
            const EquationSetup setup = setupOf(tape, started);
            ASSERT_EQ(refusalOf(tape, data, setup), "");
            const EquationResult result = fitEquation(tape, data, setup);
            EXPECT_TRUE(result.converged) << result.stopReason;
            for (const EquationParameter& p : result.parameters)
                EXPECT_TRUE(test::nearRelative(p.value, c.truth.at(p.name), 2E-03)) << p.name;
        }
    }

    TEST(EquationTemplates, StartsComeFromLevelsAndPeaksOfTheData)
    {
        const auto startsOf = [](const char* name, const std::map<std::string, double>& truth,
                                  double low, double high) {
            const EquationEntry& templ = templateNamed(name);
            const EquationEntry started
                = templateWithStarts(templ, generated(compiled(templ.formula), truth, low, high));
            std::map<std::string, double> starts;
            for (const EntryParameter& p : started.parameters)
                starts[p.name] = p.start.value_or(1.0);
            return starts;
        };
        // Michaelis-Menten: Vmax the largest y, Km the x at half of it.
        std::map<std::string, double> mm
            = startsOf("Michaelis-Menten", { { "Vmax", 3.7 }, { "Km", 1.9 } }, 0.0, 20.0);
        const double top = 3.7 * 20.0 / (1.9 + 20.0);
        EXPECT_NEAR(mm["Vmax"], top, 1E-03);
        EXPECT_NEAR(mm["Km"], 0.5 * top * 1.9 / (3.7 - 0.5 * top), 0.02);
        // Gaussian: the centre at the peak, the width from the half maximum.
        std::map<std::string, double> peak = startsOf("Gaussian peak",
            { { "A", 5.5 }, { "centre", 4.3 }, { "width", 0.85 }, { "base", 1.2 },
                { "slope", 0.15 } },
            0.0, 10.0);
        EXPECT_NEAR(peak["centre"], 4.3, 0.07);
        EXPECT_NEAR(peak["width"], 0.85, 0.05);
        EXPECT_NEAR(peak["slope"], 0.15, 1E-03);
        // Decay: the offset the last y, the rate from the half-life.
        std::map<std::string, double> decay = startsOf(
            "Exponential decay", { { "A", 4.2 }, { "k", 0.63 }, { "C", 0.8 } }, 0.0, 12.0);
        EXPECT_NEAR(decay["C"], 0.8, 0.01);
        EXPECT_NEAR(decay["k"], 0.63, 0.02);
        EXPECT_NEAR(decay["A"], 4.2, 0.05);

        // Two points tell no shape: the template's own starts stay.
        EquationData two;
        two.variables = { { 1.5, 2.5 } };
        two.y = { 0.4, 0.9 };
        const EquationEntry& logistic = templateNamed("Logistic");
        EXPECT_EQ(templateWithStarts(logistic, two), logistic);
    }

    TEST(EquationTemplates, NamesAreKnownWhateverTheirCaseAndFormulasNameTheirParameters)
    {
        EXPECT_TRUE(isTemplateName("Michaelis-Menten"));
        EXPECT_TRUE(isTemplateName("michaelis-menten"));
        EXPECT_TRUE(isTemplateName("DAMPED SINE"));
        EXPECT_FALSE(isTemplateName("Michaelis"));
        EXPECT_FALSE(isTemplateName(""));
        for (const EquationEntry& templ : equationTemplates()) {
            SCOPED_TRACE(templ.name);
            const Tape tape = compiled(templ.formula);
            EXPECT_EQ(tape.variableCount, 1);
            std::vector<std::string> named;
            for (const EntryParameter& p : templ.parameters)
                named.push_back(p.name);
            std::vector<std::string> used = tape.parameters;
            std::sort(named.begin(), named.end());
            std::sort(used.begin(), used.end());
            EXPECT_EQ(named, used);
        }
    }

} // namespace
} // namespace quantem::equation
