#include "app/Regression.h"

#include "app/RegressionReasons.h"
#include "app/ShownModelRegression.h"
#include "core/CheckedMath.h"
#include "core/Fault.h"
#include "core/InputReasons.h"
#include "core/NumberText.h"
#include "engine_linear/LinearFamilyFit.h"
#include "engine_power/ExponentSearch.h"

#include <array>
#include <cmath>
#include <functional>

namespace quantem::app {

using core::Fault;
using core::FaultCode;
using core::MessageWindowId;
using core::Record;
using core::ScratchFile;
using core::Session;

namespace {

    bool isWholeInteger16(double n) { return std::trunc(n) == n && n >= -32768.0 && n <= 32767.0; }

    // The input error with its standing text, and why.
    void refuseInput(Session& session, const std::string& reason)
    {
        core::refuseInput(session, MessageWindowId::Form5, std::nullopt, reason);
    }

    /// val of a count, or no value when it is beyond the double range: then the input error is
    /// shown with why, as for every other count that cannot be used.
    std::optional<double> countOf(
        Session& session, const std::string& text, const std::function<std::string()>& reason)
    {
        try {
            return core::val(text);
        } catch (const Fault& fault) {
            if (fault.code() != FaultCode::Overflow)
                throw;
            refuseInput(session, reason());
            return std::nullopt;
        }
    }

    std::string countReason(const Session& session, bool modelChosen, double n)
    {
        if (!modelChosen)
            return core::reasons::noModelChosen();
        if (n <= 2 || !isWholeInteger16(n))
            return core::reasons::powerSampleCount(session.form1.Text2);
        return core::reasons::powerElementCount(session.form1.Text3);
    }

    /// Reads n groups and keeps, per column, the last difference seen between successive groups
    /// (0 while no difference has been seen). Columns the model does not have count as varying.
    std::array<double, 4> variationMarks(
        const core::SampleData& samples, core::ModelId model, double groups)
    {
        const int size = core::groupSize(model);
        std::array<double, 4> marks { 0.0, 0.0, 0.0, 0.0 };
        std::array<double, 4> previous { 0.0, 0.0, 0.0, 0.0 };
        core::RecordReader reader = samples.reader();
        for (double i = 1; i <= groups; ++i) {
            std::array<double, 4> values { 0.0, 0.0, 0.0, 0.0 };
            for (int column = 0; column < size; ++column)
                values[static_cast<std::size_t>(column)] = reader.readNumber();
            if (i > 1) {
                for (int column = 0; column < size; ++column) {
                    const auto j = static_cast<std::size_t>(column);
                    if (values[j] != previous[j])
                        marks[j] = core::subtract(values[j], previous[j]);
                }
                for (int column = size; size > 0 && column < 4; ++column)
                    marks[static_cast<std::size_t>(column)] = 1.0;
            }
            previous = values;
        }
        return marks;
    }

} // namespace

void regressionCommand(Session& session, Route route)
{
    core::Form1& form = session.form1;
    const core::ScratchStore& store = session.store;
    store.writeRecord(ScratchFile::Da, Record { 1.0 });
    if (route == Route::Menu)
        store.writeRecord(ScratchFile::Wcqk, Record { 0.0, 0.0, 0.0, 0.0 });
    form.Label10 = core::kRegressWaitCaption;
    // The model is not read yet: the one xx.sys names says which counts the reason gives.
    const std::optional<double> samples = countOf(session, form.Text2, [&] {
        return core::reasons::sampleCountBeyondRange(storedModel(session).value_or(0), form.Text2);
    });
    if (!samples)
        return;
    store.writeRecord(ScratchFile::Mm, Record { *samples });
    store.writeRecord(ScratchFile::R1, Record { 0.0 });
    const std::vector<double> model = store.readNumbers(ScratchFile::Xx, 4);
    const int exponentCount = core::toInteger16(model[2]);
    const core::ModelId id = core::toInteger16(model[3]);
    if (core::usesLinearEngine(id))
        form.Text3 = form.Text4;
    runRegression(session, exponentCount, id);
}

void runRegression(Session& session, int exponentCount, core::ModelId model)
{
    const core::Form1& form = session.form1;
    const std::optional<double> groups = countOf(session, form.Text2,
        [&] { return core::reasons::sampleCountBeyondRange(model, form.Text2); });
    if (!groups)
        return;
    const std::optional<double> elements = countOf(session, form.Text3,
        [&] { return core::reasons::elementCountBeyondRange(model, form.Text3); });
    if (!elements)
        return;
    const double n = *groups;
    const double m = *elements;
    const RegressionMark mark = markRegression(session);
    if (core::usesLinearEngine(model)) {
        linear::runLinearFamilyFit(session, model);
        explainRegression(session, model, mark);
        return;
    }
    const bool modelChosen = core::groupSize(model) > 0;
    // A count that is not a whole 16-bit number could never end the reading loop.
    if (n <= 2 || m == 0 || !isWholeInteger16(n)) {
        refuseInput(session, countReason(session, modelChosen, n));
        return;
    }
    // With no more groups than coefficients (the elements and a0) the fit has no degree of
    // freedom left: its F and S would divide by N - m.
    if (modelChosen && n <= m + 1.0) {
        refuseInput(session, core::reasons::noDegreeOfFreedom(m + 1.0));
        return;
    }
    // Only the n groups the checks read are taken from the file.
    const std::optional<core::SampleData> samples = core::SampleData::loadIfPresent(
        session.store, core::SampleData::itemsFor(n, core::groupSize(model)));
    if (!samples) {
        core::refuseInput(session, MessageWindowId::Form5, std::string(core::kNoDataText),
            core::reasons::missingSampleFile());
        return;
    }
    try {
        const std::array<double, 4> marks = variationMarks(*samples, model, n);
        for (std::size_t column = 0; column < marks.size(); ++column) {
            if (marks[column] == 0.0) { // a column that never changes, or no model chosen
                refuseInput(session,
                    modelChosen ? core::reasons::constantColumn(static_cast<int>(column) + 1)
                                : core::reasons::noModelChosen());
                return;
            }
        }
    } catch (const Fault& fault) {
        // Every reading fault, including a number beyond the double range, is an input error and
        // never reaches an engine.
        refuseInput(session,
            core::sampleReadingReason(session.store, *samples, n, core::groupSize(model))
                .value_or(fault.what()));
        return;
    }
    power::exponentSearch(session, exponentCount, model);
    explainRegression(session, model, mark);
}

} // namespace quantem::app
