#pragma once

#include "data_program/SampleEditor.h"

#include <QAbstractTableModel>

class QUndoStack;

namespace quantem::data {

/// The table of groups as a Qt model over the editor's document: one row per group, one column
/// per number, and a spare empty row at the end where typing adds a group. Every typed number is
/// a step on the undo stack.
class GroupTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    GroupTableModel(SampleEditor& editor, QUndoStack& undoStack, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    /// Takes a typed text; a text that is not a number is refused (refused() says why) and the
    /// cell keeps its value.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /// Whether the row is the spare row below the groups.
    bool isSpareRow(int row) const { return row == m_editor.table().rowCount(); }
    /// Whether the last typed text was refused.
    bool lastEditRefused() const noexcept { return m_lastEditRefused; }
    /// Shows the document anew after a command changed it.
    void reload();
    /// Shows changed cell values; rows and columns stay, and so does the selection.
    void cellsChanged();

signals:
    void edited();
    void refused(const QString& message);

private:
    SampleEditor& m_editor;
    QUndoStack& m_undoStack;
    bool m_lastEditRefused = false;
};

} // namespace quantem::data
