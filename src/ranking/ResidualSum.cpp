#include "ranking/ResidualSum.h"

#include "core/CheckedMath.h"
#include "core/Fault.h"
#include "results/EvaluateModel.h"

#include <array>
#include <vector>

namespace quantem::ranking {

namespace {

    double squaredSum(double sum, double y, double fitted)
    {
        const double residual = core::subtract(y, fitted);
        return core::add(sum, core::multiply(residual, residual));
    }

    double catalogueModelSum(const core::ScratchStore& store, const core::SampleData& samples,
        core::ModelId model, int groups)
    {
        const std::vector<double> offsets = store.readNumbers(core::ScratchFile::Culi, 4);
        const results::CoefficientSet coefficients
            = results::readPublishedCoefficients(store, model);
        const int size = core::groupSize(model);
        core::RecordReader in = samples.reader();
        double sum = 0.0;
        for (int group = 0; group < groups; ++group) {
            std::array<double, 4> numbers {};
            for (int c = 0; c < size; ++c) {
                const auto column = static_cast<std::size_t>(c);
                numbers[column] = core::add(in.readNumber(), offsets[column]);
            }
            const double x2 = size > 2 ? numbers[1] : 0.0;
            const double x3 = size > 3 ? numbers[2] : 0.0;
            const double fitted
                = results::evaluateModel(model, coefficients, numbers[0], x2, x3).value_or(0.0);
            sum = squaredSum(sum, numbers[static_cast<std::size_t>(size - 1)], fitted);
        }
        return sum;
    }

    // Groups x1..xn, y for model 51 and x, y for model 52, whose regressors are x^1..x^n, each
    // power taken anew; the fitted value adds the terms from a0 upward.
    double linearFamilySum(const core::ScratchStore& store, const core::SampleData& samples,
        const ModelChoice& choice, int groups)
    {
        const auto regressors = static_cast<std::size_t>(choice.elements.value_or(0));
        const std::vector<double> a = store.readNumbers(core::ScratchFile::Hgb, regressors + 1);
        std::vector<double> u(regressors);
        core::RecordReader in = samples.reader();
        double sum = 0.0;
        for (int group = 0; group < groups; ++group) {
            double y = 0.0;
            if (choice.model == core::kMultipleLinearModel) {
                for (double& x : u)
                    x = in.readNumber();
                y = in.readNumber();
            } else {
                const double x = in.readNumber();
                y = in.readNumber();
                for (std::size_t k = 0; k < regressors; ++k)
                    u[k] = core::power(x, static_cast<double>(k + 1));
            }
            double fitted = a[0];
            for (std::size_t k = 1; k <= regressors; ++k)
                fitted = core::add(fitted, core::multiply(a[k], u[k - 1]));
            sum = squaredSum(sum, y, fitted);
        }
        return sum;
    }

} // namespace

std::optional<double> residualSumOfSquares(const core::ScratchStore& store,
    const core::SampleData& samples, const ModelChoice& choice, int groups)
{
    try {
        if (core::usesLinearEngine(choice.model))
            return linearFamilySum(store, samples, choice, groups);
        return catalogueModelSum(store, samples, choice.model, groups);
    } catch (const core::Fault&) {
        return std::nullopt;
    }
}

} // namespace quantem::ranking
