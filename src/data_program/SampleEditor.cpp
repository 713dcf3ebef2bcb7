#include "data_program/SampleEditor.h"

#include "core/ExportFile.h"
#include "core/Fault.h"
#include "core/RootLock.h"

#include <system_error>

namespace quantem::data {

namespace {

    // How the lock on the install root names this program to the others.
    constexpr const char* kDataProgramName = "quantem-data";

} // namespace

SampleEditor::SampleEditor(core::ScratchStore store)
    : m_store(std::move(store))
{
}

std::filesystem::path SampleEditor::dataFilePath() const
{
    return m_document ? *m_document : m_store.pathOf(core::ScratchFile::Data);
}

SampleEditor::LoadOutcome SampleEditor::loadDataFile(std::string& message)
{
    m_table.clear();
    m_saved.clear();
    message.clear();
    std::error_code error;
    const bool present = m_document ? std::filesystem::exists(*m_document, error)
                                    : m_store.exists(core::ScratchFile::Data);
    if (!present) {
        message = "There is no sample file " + dataFilePath().string()
            + " yet. Type the groups in and save them.";
        return LoadOutcome::Missing;
    }
    try {
        openText(m_document ? core::readWholeFile(*m_document)
                            : m_store.readText(core::ScratchFile::Data));
    } catch (const core::Fault& fault) {
        message = "The sample file " + dataFilePath().string() + " cannot be read. " + fault.what()
            + ". The table starts empty; saving will replace the file.";
        return LoadOutcome::Unreadable;
    }
    m_saved = m_table.filledRows();
    return LoadOutcome::Loaded;
}

void SampleEditor::openText(std::string_view text)
{
    const SampleText parsed = parseSampleText(text);
    SampleTable table(guessGroupSize(parsed));
    table.setNumbers(parsed.numbers);
    m_table = std::move(table);
}

std::size_t SampleEditor::importText(
    std::string_view text, bool& headerSkipped, const ImportChoice& choice)
{
    const SampleText parsed = parseImportText(text, headerSkipped, choice.format);
    if (choice.placement == ImportPlacement::Replace) {
        SampleTable table(guessGroupSize(parsed));
        table.setNumbers(parsed.numbers);
        m_table = std::move(table);
    } else {
        m_table.appendNumbers(parsed.numbers);
    }
    return parsed.numbers.size();
}

SampleEditor::Pasted SampleEditor::pasteText(std::string_view text, int row, int column)
{
    Pasted pasted;
    const SampleText parsed = parseImportText(text, pasted.headerSkipped);
    // Rows copied from a spreadsheet are groups: begun mid-row they would put x under y.
    const bool wholeGroups = parsed.uniformLines
        && parsed.firstLineItems == static_cast<std::size_t>(m_table.groupSize());
    pasted.count = parsed.numbers.size();
    pasted.row = row;
    pasted.column = wholeGroups ? 0 : column;
    m_table.writeNumbersAt(pasted.row, pasted.column, parsed.numbers);
    return pasted;
}

SampleTable SampleEditor::exchangeTable(SampleTable table)
{
    std::swap(table, m_table);
    return table;
}

void SampleEditor::setCellText(int row, int column, std::string_view text)
{
    const Cell value = parseCellText(text);
    if (row == m_table.rowCount()) {
        if (!value)
            return;
        m_table.insertEmptyRows(row, 1);
    }
    m_table.setCell(row, column, value);
}

void SampleEditor::clearCells(const std::vector<std::pair<int, int>>& cells)
{
    for (const auto& [row, column] : cells) {
        if (row < m_table.rowCount())
            m_table.setCell(row, column, std::nullopt);
    }
}

bool SampleEditor::saveEmptiesDataFile() const
{
    if (m_table.hasNumbers())
        return false;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(dataFilePath(), error);
    // A file that cannot be measured may still hold groups.
    if (error)
        return m_document ? std::filesystem::exists(*m_document, error)
                          : m_store.exists(core::ScratchFile::Data);
    return size > 0;
}

void SampleEditor::save()
{
    const std::string text = sampleFileText(m_table);
    if (m_document) {
        saveAs(*m_document);
        m_saved = m_table.filledRows();
        return;
    }
    // Not while Quantem or quantem-fit works on the root: a fit reads data.qtm group by group.
    const core::RootLock lock(m_store.root(), kDataProgramName);
    if (lock.refused())
        throw core::Fault(core::FaultCode::PathFileAccessError, lock.refusal());
    core::writeFileAtomically(dataFilePath(), text);
    m_saved = m_table.filledRows();
}

void SampleEditor::saveAs(const std::filesystem::path& path) const
{
    // Anywhere the user chooses: never through a link planted there.
    const core::ExportOutcome saved = core::writeExportFile(path, sampleFileText(m_table));
    if (!saved)
        throw core::Fault(core::FaultCode::PathFileAccessError,
            "Cannot write " + path.string() + ": " + saved.failure);
}

bool SampleEditor::isModified() const { return m_table.filledRows() != m_saved; }

} // namespace quantem::data
