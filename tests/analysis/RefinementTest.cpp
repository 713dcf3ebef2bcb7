#include "analysis/Refinement.h"

#include "analysis/FitDetails.h"
#include "app/Commands.h"
#include "app/ModelSelection.h"
#include "app/Regression.h"
#include "results/EvaluateModel.h"
#include "support/ModelSamples.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace quantem::analysis {
namespace {

    /// A model with known exponents away from where the search starts: k1 = 0.83, later ones
    /// 0.61 plus their term offsets (the search walks one exponent at a time from 0.5).
    results::CoefficientSet knownModel(core::ModelId model)
    {
        const core::ModelDescriptor& d = core::modelOf(model);
        results::CoefficientSet c;
        for (int i = 0; i <= d.elements; ++i)
            c.a[static_cast<std::size_t>(i)] = i == 0 ? 1.5 : 0.75 + 0.25 * i;
        for (int r = 1; r <= d.exponents; ++r)
            c.k[static_cast<std::size_t>(r - 1)]
                = (r == 1 ? 0.83 : 0.61) + core::exponentOffset(model, r);
        return c;
    }

    struct Generated
    {
        std::vector<std::vector<double>> groups;
        double meanError = 0.0; // of the generating model itself
    };

    /// 300 groups, x in 0.5..3, y from the model plus noise of standard deviation 0.05 (a sum of
    /// twelve uniforms, so nearly normal), from a fixed seed.
    Generated generate(core::ModelId model, const results::CoefficientSet& c)
    {
        std::uint64_t seed = 0x9E3779B97F4A7C15ull + static_cast<std::uint64_t>(model);
        auto uniform = [&seed] {
            seed = seed * 6364136223846793005ull + 1442695040888963407ull;
            return static_cast<double>(seed >> 11) / 9007199254740992.0;
        };
        Generated out;
        const int size = core::groupSize(model);
        for (int g = 0; g < 300; ++g) {
            const double x1 = 0.5 + 2.5 * uniform();
            const double x2 = 0.5 + 2.5 * uniform();
            const double x3 = 0.5 + 2.5 * uniform();
            double noise = -6.0;
            for (int i = 0; i < 12; ++i)
                noise += uniform();
            const double y = *results::evaluateModel(model, c, x1, x2, x3) + 0.05 * noise;
            std::vector<double> group { x1 };
            if (size > 2)
                group.push_back(x2);
            if (size > 3)
                group.push_back(x3);
            group.push_back(y);
            out.groups.push_back(group);
        }
        double sum = 0.0;
        for (const auto& group : out.groups) {
            const double x2 = size > 2 ? group[1] : 0.0;
            const double x3 = size > 3 ? group[2] : 0.0;
            sum += std::fabs(group.back() - *results::evaluateModel(model, c, group[0], x2, x3));
        }
        out.meanError = sum / static_cast<double>(out.groups.size());
        return out;
    }

    /// Runs the program's own fit on the groups, as the main window would.
    std::optional<FitSnapshot> fitAsTheProgramDoes(
        core::ModelId model, const Generated& data, test::TempRoot& root)
    {
        root.writeSamples(test::sampleFileText(data.groups));
        core::Session session(root.path());
        app::runCommand(session, [&] { app::startUpReset(session); });
        app::runCommand(session, [&] { app::selectModel(session, model); });
        app::runCommand(
            session, [&] { app::setSampleCountText(session, std::to_string(data.groups.size())); });
        session.form1.Text4 = ".5";
        app::runCommand(session, [&] { app::regressionCommand(session, app::Route::Menu); });
        return takeSnapshot(session);
    }

    TEST(Refinement, ReachesTheNoiseOfTheGeneratingModelOnEveryPowerModel)
    {
        int improved = 0;
        for (core::ModelId model = 1; model <= 50; ++model) {
            SCOPED_TRACE("model " + std::to_string(model));
            const Generated data = generate(model, knownModel(model));
            test::TempRoot root;
            const std::optional<FitSnapshot> fit = fitAsTheProgramDoes(model, data, root);
            ASSERT_TRUE(fit.has_value());
            const Refinement refined = refine(*fit);
            const FitDetails details = describe(*fit, refined);
            // Never worse than the published fit: a refinement that does not lower the sum of
            // squares is not taken.
            EXPECT_LE(refined.sse, refined.startSse);
            const double meanError
                = details.refined ? details.refined->summary.meanError : details.fit.meanError;
            EXPECT_LE(meanError, 1.05 * data.meanError)
                << "published " << details.fit.meanError << ", refined " << meanError
                << ", generating " << data.meanError << ", stopped: " << refined.stopReason
                << ", exponents " << testing::PrintToString(fit->exponents) << " -> "
                << testing::PrintToString(refined.exponents);
            improved += details.refined ? 1 : 0;
        }
        // Models with exponents start away from the optimum: most of them must move.
        EXPECT_GE(improved, 40);
    }

    TEST(Refinement, StopsWhenCancelledAndReportsProgress)
    {
        const core::ModelId model = 24;
        const Generated data = generate(model, knownModel(model));
        test::TempRoot root;
        const std::optional<FitSnapshot> fit = fitAsTheProgramDoes(model, data, root);
        ASSERT_TRUE(fit.has_value());
        std::atomic<bool> cancel { false };
        int calls = 0;
        RefineControl control;
        control.cancel = &cancel;
        control.progress = [&](int iteration) {
            calls = iteration;
            if (iteration == 2)
                cancel = true;
        };
        const Refinement refined = refine(*fit, control);
        EXPECT_FALSE(refined.accepted);
        EXPECT_EQ(refined.stopReason, "cancelled");
        EXPECT_LE(calls, 3);
        EXPECT_EQ(refined.coefficients, fit->coefficients); // the published fit stands
    }

} // namespace
} // namespace quantem::analysis
