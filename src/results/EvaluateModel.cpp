#include "results/EvaluateModel.h"

#include "core/CheckedMath.h"
#include "core/Fault.h"
#include "core/TermTable.h"

#include <cmath>

namespace quantem::results {

using core::Factor;

namespace {

    double variableOf(int variable, double x1, double x2, double x3)
    {
        return variable == 1 ? x1 : variable == 2 ? x2 : x3;
    }

    double requireNumber(double value)
    {
        if (std::isnan(value) || std::isinf(value))
            throw core::Fault(core::FaultCode::TypeMismatch);
        return value;
    }

} // namespace

std::optional<double> evaluateModel(
    core::ModelId model, const CoefficientSet& coefficients, double x1, double x2, double x3)
{
    const std::span<const core::Term> terms = core::termsOf(model);
    if (terms.empty())
        return std::nullopt;
    requireNumber(x1);
    requireNumber(x2);
    requireNumber(x3);
    double y = requireNumber(coefficients.a[0]);
    for (std::size_t i = 0; i < terms.size(); ++i) {
        const core::Term& term = terms[i];
        // The formula reads "ai * f1 * f2": the coefficient comes first and every factor
        // multiplies the product so far; the inverse-ratio terms read "ai / x".
        double value = requireNumber(coefficients.a[i + 1]);
        for (int f = 0; f < term.count; ++f) {
            const Factor& factor = term.factors[static_cast<std::size_t>(f)];
            const double x = variableOf(factor.variable, x1, x2, x3);
            switch (factor.kind) {
            case Factor::Kind::Variable:
                value = core::multiply(value, x);
                break;
            case Factor::Kind::Reciprocal:
                value = core::divide(value, x);
                break;
            case Factor::Kind::Power: {
                // Reported exponents already carry the term offsets.
                const double exponent
                    = requireNumber(coefficients.k[static_cast<std::size_t>(factor.exponent - 1)]);
                value = core::multiply(value, core::power(x, exponent));
                break;
            }
            case Factor::Kind::Log:
                value = core::multiply(value, core::naturalLog(x));
                break;
            case Factor::Kind::Exp:
                value = core::multiply(value, core::exponential(x));
                break;
            }
        }
        y = core::add(y, value);
    }
    return y;
}

CoefficientSet coefficientsFromRecord(core::ModelId model, std::span<const double> record)
{
    CoefficientSet set;
    const core::ModelDescriptor* descriptor = core::findModel(model);
    if (descriptor == nullptr || core::groupSize(model) == 0)
        return set;
    const auto e = static_cast<std::size_t>(descriptor->elements);
    const auto k = static_cast<std::size_t>(descriptor->exponents);
    for (std::size_t i = 0; i <= e && i < record.size(); ++i)
        set.a[i] = record[i];
    for (std::size_t r = 0; r < k && e + 1 + r < record.size(); ++r)
        set.k[r] = record[e + 1 + r];
    return set;
}

CoefficientSet readPublishedCoefficients(const core::ScratchStore& store, core::ModelId model)
{
    const core::ModelDescriptor* descriptor = core::findModel(model);
    if (descriptor == nullptr || core::groupSize(model) == 0)
        return {};
    const auto count = static_cast<std::size_t>(descriptor->elements + 1 + descriptor->exponents);
    const std::vector<double> record = store.readNumbers(core::ScratchFile::Xb, count);
    return coefficientsFromRecord(model, record);
}

} // namespace quantem::results
