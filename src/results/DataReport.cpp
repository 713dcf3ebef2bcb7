#include "results/DataReport.h"

#include "core/CheckedMath.h"
#include "core/ExportFile.h"
#include "core/Fault.h"
#include "core/InputReasons.h"
#include "core/ModelCatalogue.h"
#include "core/ScratchStore.h"

#include <exception>
#include <string_view>
#include <vector>

namespace quantem::results {

using core::MessageWindowId;
using core::ScratchFile;

namespace {

    constexpr std::string_view kLineEnd = "\r\n";

    // The model record of the last shown result: its ModelId and, for models 1..50, the texts
    // of a0..ae and k1..kk.
    struct ModelRecord
    {
        core::ModelId model = 0;
        int elements = 0;
        std::vector<std::string> fields;
    };

    ModelRecord readModelRecord(const core::ScratchStore& store)
    {
        core::RecordReader in = store.reader(ScratchFile::Xs);
        ModelRecord record;
        record.model = core::toInteger16(in.readNumber());
        const core::ModelDescriptor& model = core::modelOf(record.model);
        if (core::usesLinearEngine(record.model))
            return record; // R, F and S follow, and the report does not use them
        record.elements = model.elements;
        const int fieldCount = model.elements + 1 + model.exponents;
        for (int i = 0; i < fieldCount; ++i)
            record.fields.push_back(in.readString());
        return record;
    }

    // "a0 = " .. "ae = " for the coefficients, then "k1 = " .. for the exponents.
    std::string fieldLabel(int index, int elements)
    {
        if (index <= elements)
            return "a" + std::to_string(index) + " = ";
        return "k" + std::to_string(index - elements) + " = ";
    }

    // Copies every line of the sample file as it stands. CR LF, LF and a lone CR all end a line;
    // a last line without a line end still gets one.
    void appendSampleLines(std::string& out, std::string_view text)
    {
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = text.find_first_of("\r\n", start);
            if (end == std::string_view::npos) {
                out.append(text.substr(start));
                out.append(kLineEnd);
                return;
            }
            out.append(text.substr(start, end - start));
            out.append(kLineEnd);
            start = end + 1;
            if (text[end] == '\r' && start < text.size() && text[start] == '\n')
                ++start;
        }
    }

    enum class Obstacle
    {
        None,
        NoRegression,
        NoData
    };

    Obstacle findObstacle(const core::Session& session)
    {
        try {
            readModelRecord(session.store);
        } catch (const core::Fault&) {
            return Obstacle::NoRegression;
        }
        if (!session.store.exists(ScratchFile::Data))
            return Obstacle::NoData;
        return Obstacle::None;
    }

    // Checks that a report can be made; shows why not in Form5 when it cannot.
    bool reportPossible(core::Session& session)
    {
        switch (findObstacle(session)) {
        case Obstacle::NoRegression:
            session.messages.show(MessageWindowId::Form5, std::string(core::kDoRegressionText));
            return false;
        case Obstacle::NoData:
            session.messages.show(MessageWindowId::Form5, std::string(core::kNoDataText));
            return false;
        case Obstacle::None:
            break;
        }
        return true;
    }

    void appendLine(std::string& out, std::string_view line)
    {
        out.append(line);
        out.append(kLineEnd);
    }

} // namespace

std::string buildDataReport(const core::Session& session, DataReportVariant variant)
{
    const ModelRecord record = readModelRecord(session.store);
    const std::string samples = session.store.readText(ScratchFile::Data);
    const bool linearFamily = core::usesLinearEngine(record.model);

    std::string out;
    if (variant == DataReportVariant::Save) {
        appendLine(out, "                          ###################################");
        appendLine(out, "                          ##   The result of data report   ##");
        appendLine(out, "                          ###################################");
    } else {
        appendLine(out, "                    #################################");
        appendLine(out, "                    ##  The result of data report  ##");
        appendLine(out, "                    #################################");
    }
    appendLine(out, "");
    appendLine(out, "The data return");
    appendLine(out, "===============");
    appendSampleLines(out, samples);
    appendLine(out, "");
    appendLine(out, "The result of data return");
    appendLine(out, "=========================");
    appendLine(out, "To the above data ,  the edition of the 'Quantem QTM 2011'is used by you.");
    appendLine(out, session.form1.Text5);
    // Models 51 and 52 keep the model section's seven lines, all empty.
    appendLine(out, "");
    appendLine(out, linearFamily ? "" : "The recursive models are as follows");
    appendLine(out, linearFamily ? "" : "===================================");
    appendLine(out, linearFamily ? "" : core::modelOf(record.model).formulaText);
    appendLine(out, "");
    appendLine(out, linearFamily ? "" : "Formula middle");
    appendLine(out, linearFamily ? "" : "============== ");
    for (std::size_t i = 0; i < record.fields.size(); ++i)
        appendLine(out, fieldLabel(static_cast<int>(i), record.elements) + record.fields[i]);
    return out;
}

ReportSave saveDataReport(core::Session& session)
{
    try {
        if (!reportPossible(session))
            return ReportSave::Refused;
        if (session.questions == nullptr)
            return ReportSave::Cancelled;
        const std::filesystem::path path
            = session.questions->saveFileName(kReportFilter, kReportExtension);
        if (path.empty())
            return ReportSave::Cancelled;
        const std::string report = buildDataReport(session, DataReportVariant::Save);
        // Never through a link planted at the chosen name, and whole or not at all.
        if (const core::ExportOutcome saved = core::writeExportFile(path, report); !saved) {
            core::refuseInput(session, MessageWindowId::Form5, std::string(kReportNotWrittenText),
                "The report was not written to " + path.string() + ": " + saved.failure + ".");
            return ReportSave::Refused;
        }
        return ReportSave::Written;
    } catch (const std::exception&) {
        session.messages.show(MessageWindowId::Form5);
        return ReportSave::Refused;
    }
}

void showDataReport(core::Session& session)
{
    try {
        if (!reportPossible(session))
            return;
        const std::string report = buildDataReport(session, DataReportVariant::Show);
        try {
            session.store.writeText(ScratchFile::Bgx, report);
        } catch (const core::Fault&) {
            session.messages.show(MessageWindowId::Form5, std::string(kReportNotWrittenText));
        }
    } catch (const std::exception&) {
        session.messages.show(MessageWindowId::Form5);
    }
}

} // namespace quantem::results
