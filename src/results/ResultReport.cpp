#include "results/ResultReport.h"

#include "core/CheckedMath.h"
#include "core/Fault.h"
#include "core/NumberText.h"
#include "core/Record.h"
#include "engine_linear/ReportLines.h"

#include <array>
#include <vector>

namespace quantem::results {

namespace {

    // clang-format off
    constexpr std::array<std::string_view, 20> kExplanationLines {
        "The first Dimension data of every group of number is objective function Y, the second One is X1.",
        "The second Dimension data of every group of number is objective function Y, the first One is X1.",
        "The first Dimension data of every group of number is objective function Y, the second One is X1, the third One is X2.",
        "The first Dimension data of every group of number is objective function Y, the second One is X2, the third One is X1.",
        "The second Dimension data of every group of number is objective function Y, the first One is X1, the third One is X2.",
        "The second Dimension data of every group of number is objective function Y, the first One is X2, the third One is X1.",
        "The third Dimension data of every group of number is objective function Y, the first One is X1, the second One is X2.",
        "The third Dimension data of every group of number is objective function Y, the first One is X2, the second One is X1.",
        "The first Dimension data of every group of number is objective function Y, the second One is X1, the third One is X2, the Fourth One is X3.",
        "The first Dimension data of every group of number is objective function Y, the second One is X2, the third One is X3, the Fourth One is X1.",
        "The first Dimension data of every group of number is objective function Y, the second One is X3, the third One is X1, the Fourth One is X2.",
        "The second Dimension data of every group of number is objective function Y, the first One is X1, the third One is X2, the Fourth One is X3.",
        "The second Dimension data of every group of number is objective function Y, the first One is X2, the third One is X3, the Fourth One is X1.",
        "The second Dimension data of every group of number is objective function Y, the first One is X3, the third One is X1, the Fourth One is X2.",
        "The third Dimension data of every group of number is objective function Y, the second One is X1, the first One is X2, the Fourth One is X3.",
        "The third Dimension data of every group of number is objective function Y, the second One is X2, the first One is X3, the Fourth One is X1.",
        "The third Dimension data of every group of number is objective function Y, the second One is X3, the first One is X1, the Fourth One is X2.",
        "The Fourth Dimension data of every group of number is objective function Y, the first One is X1, the second  One is X2, the third One is X3.",
        "The Fourth Dimension data of every group of number is objective function Y, the first One is X2, the second  One is X3, the third One is X1.",
        "The Fourth Dimension data of every group of number is objective function Y, the first One is X3, the second  One is X1, the third One is X2.",
    };

    constexpr std::array<std::string_view, 4> kOffsetPhrases {
        "The first Dimension data need be add in numbers '",
        "The second Dimension data need be add in numbers '",
        "The third Dimension data need be add in numbers '",
        "The Fourth Dimension data need be add in numbers '",
    };
    // clang-format on

    constexpr std::string_view kNoInitialValueText = "Don't setting initial value ";

    /// Writes a scratch file; when it cannot be written, Form5 names it and false is returned.
    bool writeOrTell(
        core::Session& session, core::ScratchFile file, const std::vector<core::Record>& records)
    {
        try {
            session.store.writeRecords(file, records);
            return true;
        } catch (const core::Fault&) {
            session.messages.show(core::MessageWindowId::Form5,
                std::string("Cannot write ") + core::scratchFileName(file) + " !");
            return false;
        }
    }

    core::ModelId readChosenModel(const core::ScratchStore& store)
    {
        return core::toInteger16(store.readNumbers(core::ScratchFile::Xx, 4)[3]);
    }

} // namespace

std::string_view explanationLine(int arrangement)
{
    if (arrangement < 1 || arrangement > static_cast<int>(kExplanationLines.size()))
        return {};
    return kExplanationLines[static_cast<std::size_t>(arrangement - 1)];
}

int defaultArrangement(core::ModelId model)
{
    switch (core::groupSize(model)) {
    case 2:
        return 2;
    case 3:
        return 7;
    case 4:
        return 18;
    default:
        return 0;
    }
}

std::string_view dimensionText(core::ModelId model)
{
    switch (core::groupSize(model)) {
    case 2:
        return "Two-Dimension data ";
    case 3:
        return "Three-Dimension data";
    case 4:
        return "Four-Dimension data ";
    default:
        return {};
    }
}

void buildResultReport(core::Session& session, float meanError)
{
    core::Form1& form = session.form1;
    const core::ScratchStore& store = session.store;
    std::vector<double> offsets;
    core::ModelId model = 0;
    int arrangement = 0;
    double best = 0.0;
    double variables = 0.0;
    double previousVariables = 0.0;
    try {
        offsets = store.readNumbers(core::ScratchFile::Culi, 4);
        model = readChosenModel(store);
        arrangement = core::toInteger16(store.readNumbers(core::ScratchFile::Mb, 1)[0]);
        best = store.readNumbers(core::ScratchFile::Jc, 1)[0];
        variables = core::val(form.Text1);
        previousVariables = core::val(form.Text7);
    } catch (const core::Fault&) {
        return;
    }
    if (arrangement == 0)
        arrangement = defaultArrangement(model);
    form.Text7 = form.Text1; // always, whether the fit is reported or not

    // Strictly smaller: a fit as good as the one shown leaves the report word for word.
    if (variables == previousVariables && !(static_cast<double>(meanError) < best))
        return;

    writeOrTell(session, core::ScratchFile::Jc, { { static_cast<double>(meanError) } });

    const core::ModelDescriptor* descriptor = core::findModel(model);
    const std::string_view title = descriptor != nullptr ? descriptor->title : std::string_view();
    // The models without exponents (1-6, 8, 9) had no initial value to set.
    const bool withoutExponents = descriptor != nullptr && descriptor->exponents == 0;
    const std::string_view initialValue
        = withoutExponents ? kNoInitialValueText : std::string_view(form.Text4);

    std::vector<std::string> lines;
    lines.push_back("What you did is " + std::string(dimensionText(model))
        + "Regressing, the regressing data's Sample Quantity is " + form.Text2 + "  group.");
    lines.push_back("The corresponding data of the model you chosen is: "
        + std::string(explanationLine(arrangement)));
    std::string clauses;
    for (std::size_t c = 0; c < kOffsetPhrases.size(); ++c) {
        if (offsets[c] == 0.0)
            continue;
        if (!clauses.empty())
            clauses += ";";
        clauses += std::string(kOffsetPhrases[c]) + core::doubleText(offsets[c]) + "'";
    }
    if (!clauses.empty())
        lines.push_back("In which," + clauses + "time,Is result model.");
    lines.push_back("Power initial value is: " + std::string(initialValue));
    lines.push_back("Now, return best model of the data is: " + std::string(title));
    linear::appendTestParameterLines(lines, form);
    form.Text5 = linear::joinReportLines(lines);
    writeShownCoefficients(session);
}

void writeShownCoefficients(core::Session& session)
{
    const core::Form1& form = session.form1;
    core::ModelId model = 0;
    try {
        model = readChosenModel(session.store);
    } catch (const core::Fault&) {
        return;
    }
    const core::ModelDescriptor* descriptor = core::findModel(model);
    if (descriptor == nullptr || core::groupSize(model) == 0) {
        writeOrTell(session, core::ScratchFile::Xs, {});
        return;
    }
    core::Record record { static_cast<double>(model) };
    for (int i = 0; i <= descriptor->elements; ++i)
        record.emplace_back(form.label(2 + i));
    for (int r = 1; r <= descriptor->exponents; ++r)
        record.emplace_back(form.label(10 + r));
    writeOrTell(session, core::ScratchFile::Xs, { record });
}

} // namespace quantem::results
