#include "analysis/FitSnapshot.h"

#include "core/CheckedMath.h"
#include "core/Fault.h"
#include "core/NumberText.h"

#include <cmath>

namespace quantem::analysis {

namespace {

    bool isBlank(const std::string& text)
    {
        return text.find_first_not_of(' ') == std::string::npos;
    }

    // The columns of x a group holds for a model fitted with this many terms.
    int variablesOf(const core::ModelDescriptor& model, int terms)
    {
        return model.id == core::kPolynomialModel    ? 1
            : model.id == core::kMultipleLinearModel ? terms
                                                     : core::groupSize(model.id) - 1;
    }

    // Only the groups the fit read: a sample file far longer than the fit is not read past them.
    std::optional<core::SampleData> fittedSamples(
        const core::Session& session, const core::ModelDescriptor& model, int terms, int n)
    {
        return core::SampleData::loadIfPresent(
            session.store, core::SampleData::itemsFor(n, variablesOf(model, terms) + 1));
    }

} // namespace

std::optional<FitSnapshot> makeSnapshot(const core::ModelDescriptor& model, int terms,
    const core::SampleData& samples, int n, std::vector<double> coefficients,
    std::vector<double> exponents, const std::vector<double>& offsets)
{
    const bool linearFamily = core::usesLinearEngine(model.id);
    if (n < 1 || terms < 1 || coefficients.size() != static_cast<std::size_t>(terms) + 1)
        return std::nullopt;
    if (!linearFamily
        && (terms != model.elements
            || exponents.size() != static_cast<std::size_t>(model.exponents)))
        return std::nullopt;
    const int variables = variablesOf(model, terms);
    FitSnapshot snapshot;
    snapshot.model = &model;
    snapshot.terms = terms;
    snapshot.coefficients = std::move(coefficients);
    snapshot.exponents = std::move(exponents);
    snapshot.x.resize(n, variables);
    snapshot.y.resize(n);
    try {
        core::RecordReader reader = samples.reader();
        for (int group = 0; group < n; ++group) {
            for (int column = 0; column <= variables; ++column) {
                double value = reader.readNumber();
                // The power models see their columns shifted by culi.sys, as their fit did.
                if (!linearFamily && static_cast<std::size_t>(column) < offsets.size())
                    value += offsets[static_cast<std::size_t>(column)];
                if (column < variables)
                    snapshot.x(group, column) = value;
                else
                    snapshot.y(group) = value;
            }
        }
    } catch (const core::Fault&) {
        return std::nullopt;
    }
    if (!snapshot.x.allFinite() || !snapshot.y.allFinite())
        return std::nullopt;
    // Powers, logarithms and reciprocals need positive variables; the fit refused others.
    if (!linearFamily && (snapshot.x.array() <= 0.0).any())
        return std::nullopt;
    if (!linearFamily)
        snapshot.logX = snapshot.x.array().log().matrix();
    return snapshot;
}

std::optional<FitSnapshot> takeSnapshot(const core::Session& session)
{
    const core::Form1& form = session.form1;
    if (isBlank(form.Label2))
        return std::nullopt;
    try {
        const auto id = static_cast<core::ModelId>(
            core::toInteger16(session.store.readNumbers(core::ScratchFile::Xx, 4)[3]));
        const core::ModelDescriptor* model = core::findModel(id);
        if (model == nullptr)
            return std::nullopt;
        const int n = core::toInteger16(core::val(form.Text2));
        if (n < 1)
            return std::nullopt;
        if (core::usesLinearEngine(id)) {
            const int m = core::toInteger16(core::val(form.Text4));
            if (m < 1)
                return std::nullopt;
            const std::optional<core::SampleData> samples = fittedSamples(session, *model, m, n);
            if (!samples)
                return std::nullopt;
            std::vector<double> a = session.store.readNumbers(
                core::ScratchFile::Hgb, static_cast<std::size_t>(m) + 1);
            return makeSnapshot(*model, m, *samples, n, std::move(a), {}, {});
        }
        const std::optional<core::SampleData> samples
            = fittedSamples(session, *model, model->elements, n);
        if (!samples)
            return std::nullopt;
        const auto e = static_cast<std::size_t>(model->elements);
        const auto k = static_cast<std::size_t>(model->exponents);
        const std::vector<double> record
            = session.store.readNumbers(core::ScratchFile::Xb, e + 1 + k);
        std::vector<double> a(record.begin(), record.begin() + static_cast<std::ptrdiff_t>(e + 1));
        std::vector<double> exponents(
            record.begin() + static_cast<std::ptrdiff_t>(e + 1), record.end());
        const std::vector<double> offsets = session.store.readNumbers(core::ScratchFile::Culi, 4);
        return makeSnapshot(
            *model, model->elements, *samples, n, std::move(a), std::move(exponents), offsets);
    } catch (const core::Fault&) {
        return std::nullopt;
    }
}

} // namespace quantem::analysis
