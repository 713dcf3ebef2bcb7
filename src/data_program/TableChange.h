#pragma once

#include "data_program/SampleEditor.h"

#include <QUndoCommand>

namespace quantem::data {

/// A change of the table kept for undo as the whole table it replaced: paste, import, open,
/// clearing, adding and deleting rows, a new group size. The editor already holds the changed
/// table when the change is made; undo and redo exchange the two.
class TableChange : public QUndoCommand
{
public:
    TableChange(SampleEditor& editor, SampleTable before, const QString& text);
    void undo() override;
    void redo() override;

private:
    SampleEditor& m_editor;
    SampleTable m_other; // the table not shown: the one before, or the one after once undone
    bool m_fresh = true;
};

/// A number typed into one cell, kept as the cell's two values, so that typing into a large
/// table keeps no copies of it. Typing into the spare row added that row.
class CellChange : public QUndoCommand
{
public:
    struct Cells
    {
        int row = 0;
        int column = 0;
        Cell before;
        Cell after;
        bool addedRow = false;
    };
    /// The editor already holds the typed value.
    CellChange(SampleEditor& editor, const Cells& cells);
    void undo() override;
    void redo() override;

private:
    SampleEditor& m_editor;
    Cells m_cells;
    bool m_fresh = true;
};

} // namespace quantem::data
