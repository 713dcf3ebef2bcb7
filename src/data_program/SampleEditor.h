#pragma once

#include "core/ScratchStore.h"
#include "data_program/SampleTable.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quantem::data {

/// The sample editor's document: the table of groups, and what data.qtm of the install root held
/// when it was last loaded or saved, so that unsaved changes are known.
class SampleEditor
{
public:
    explicit SampleEditor(core::ScratchStore store);

    const core::ScratchStore& store() const noexcept { return m_store; }
    const SampleTable& table() const noexcept { return m_table; }
    /// The file the editor loads and saves: data.qtm of the install root, or the document file.
    std::filesystem::path dataFilePath() const;
    /// Makes path the file the editor loads and saves in place of data.qtm (a sample file the
    /// user opened by name). Nothing is read until loadDataFile.
    void setDocumentFile(std::filesystem::path path) { m_document = std::move(path); }
    bool editsDocumentFile() const noexcept { return m_document.has_value(); }

    enum class LoadOutcome
    {
        Loaded,
        Missing,
        Unreadable
    };
    /// Loads data.qtm with the numbers per group guessed from its first line. When the file is
    /// missing or unreadable the table is empty and message says why.
    LoadOutcome loadDataFile(std::string& message);

    /// Replaces the table by the numbers of a sample text, the numbers per group guessed from its
    /// first line. Throws core::Fault (13, 6) with a message naming the bad item; the table is
    /// left as it was.
    void openText(std::string_view text);
    /// Reads a text in the chosen format and adds its numbers after the last number, or puts
    /// them in place of the table in groups of its first line's item count; a first line of
    /// column names is skipped. Returns how many numbers were read. Throws as openText, and 5 for
    /// a format that cannot be read; the table is then left as it was.
    std::size_t importText(
        std::string_view text, bool& headerSkipped, const ImportChoice& choice = {});

    /// Where a paste went.
    struct Pasted
    {
        std::size_t count = 0;
        int row = 0;
        int column = 0; // where the first number went
        bool headerSkipped = false;
    };
    /// Writes the numbers of a text into the cells from (row, column) on, across then down; a
    /// first line of column names is skipped, and a block whose every line is one whole group
    /// starts at the first column of the row. Throws as openText.
    Pasted pasteText(std::string_view text, int row, int column);

    /// Sets a cell from its typed text; row == rowCount() adds a row. Throws core::Fault (13, 6)
    /// with the message for the user when the text is not a number; the cell keeps its value.
    void setCellText(int row, int column, std::string_view text);
    /// Sets one cell as it stands (no text to read).
    void setCell(int row, int column, Cell value) { m_table.setCell(row, column, value); }
    /// Puts table in place of the groups and returns the groups it replaced.
    SampleTable exchangeTable(SampleTable table);
    void setGroupSize(int size) { m_table.setGroupSize(size); }
    /// Inserts an empty row before row.
    void insertEmptyRow(int row) { m_table.insertEmptyRows(row, 1); }
    void removeRows(const std::vector<int>& rows) { m_table.removeRows(rows); }
    /// Empties the given cells (row, column pairs).
    void clearCells(const std::vector<std::pair<int, int>>& cells);
    void clear() { m_table.clear(); }

    /// Why saving is refused (an incomplete row), or "".
    std::string saveRefusal() const { return data::saveRefusal(m_table); }
    /// Whether saving would leave data.qtm without the numbers it holds now: the table is empty
    /// and the file is not.
    bool saveEmptiesDataFile() const;
    /// Writes data.qtm under the install root's lock (core::RootLock), or the document file as
    /// an export is written (never through a link). Throws core::Fault 62 when a row is
    /// incomplete, 75 when the file cannot be written or another program keeps the root; what()
    /// is the message for the user.
    void save();
    /// Writes the sample file text to another path, never through a link planted there; data.qtm
    /// and the unsaved state stay as they are. Throws as save.
    void saveAs(const std::filesystem::path& path) const;

    /// Whether the groups differ from what data.qtm held when last loaded or saved.
    bool isModified() const;

private:
    core::ScratchStore m_store;
    std::optional<std::filesystem::path> m_document;
    SampleTable m_table;
    std::vector<std::vector<Cell>> m_saved;
};

} // namespace quantem::data
