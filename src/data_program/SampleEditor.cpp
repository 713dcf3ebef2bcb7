#include "data_program/SampleEditor.h"

#include "core/Fault.h"

namespace quantem::data {

SampleEditor::SampleEditor(core::ScratchStore store)
    : m_store(std::move(store))
{
}

std::filesystem::path SampleEditor::dataFilePath() const
{
    return m_store.pathOf(core::ScratchFile::Data);
}

SampleEditor::LoadOutcome SampleEditor::loadDataFile(std::string& message)
{
    m_table.clear();
    m_saved.clear();
    message.clear();
    if (!m_store.exists(core::ScratchFile::Data)) {
        message = "There is no sample file " + dataFilePath().string()
            + " yet. Type the groups in and save them.";
        return LoadOutcome::Missing;
    }
    try {
        openText(m_store.readText(core::ScratchFile::Data));
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

std::size_t SampleEditor::importText(std::string_view text, bool& headerSkipped)
{
    const SampleText parsed = parseImportText(text, headerSkipped);
    m_table.appendNumbers(parsed.numbers);
    return parsed.numbers.size();
}

std::size_t SampleEditor::pasteText(std::string_view text, int row, int column)
{
    const SampleText parsed = parseSampleText(text);
    m_table.writeNumbersAt(row, column, parsed.numbers);
    return parsed.numbers.size();
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

void SampleEditor::save()
{
    core::writeFileAtomically(dataFilePath(), sampleFileText(m_table));
    m_saved = m_table.filledRows();
}

void SampleEditor::saveAs(const std::filesystem::path& path) const
{
    core::writeFileAtomically(path, sampleFileText(m_table));
}

bool SampleEditor::isModified() const { return m_table.filledRows() != m_saved; }

} // namespace quantem::data
