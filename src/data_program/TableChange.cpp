#include "data_program/TableChange.h"

namespace quantem::data {

TableChange::TableChange(SampleEditor& editor, SampleTable before, const QString& text)
    : QUndoCommand(text)
    , m_editor(editor)
    , m_other(std::move(before))
{
}

void TableChange::undo() { m_other = m_editor.exchangeTable(std::move(m_other)); }

void TableChange::redo()
{
    // The stack redoes a change as it is pushed; the editor made it already.
    if (m_fresh) {
        m_fresh = false;
        return;
    }
    m_other = m_editor.exchangeTable(std::move(m_other));
}

CellChange::CellChange(SampleEditor& editor, const Cells& cells)
    : QUndoCommand(QStringLiteral("Typing"))
    , m_editor(editor)
    , m_cells(cells)
{
}

void CellChange::undo()
{
    if (m_cells.addedRow)
        m_editor.removeRows({ m_cells.row });
    else
        m_editor.setCell(m_cells.row, m_cells.column, m_cells.before);
}

void CellChange::redo()
{
    if (m_fresh) {
        m_fresh = false;
        return;
    }
    if (m_cells.addedRow)
        m_editor.insertEmptyRow(m_cells.row);
    m_editor.setCell(m_cells.row, m_cells.column, m_cells.after);
}

} // namespace quantem::data
