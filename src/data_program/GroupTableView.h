#pragma once

#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

namespace quantem::data {

/// The cell editor's delegate; it remembers the open editor so that a pending edit can be taken
/// before saving or closing.
class CellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override;
    QWidget* openEditor() const { return m_editor; }

private:
    mutable QPointer<QWidget> m_editor;
};

/// The table of groups, made for typing numbers in: Enter takes the number and moves to the next
/// cell, across and then down; Delete empties the selected cells.
class GroupTableView : public QTableView
{
    Q_OBJECT

public:
    explicit GroupTableView(QWidget* parent = nullptr);

    /// Takes the text of an open cell editor into the table, as if the user had pressed Enter.
    void commitPendingEdit();
    /// The rows of the selected cells, or the current row when nothing is selected.
    QList<int> chosenRows() const;

signals:
    void clearCellsRequested();

protected:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CellDelegate* m_delegate;
};

} // namespace quantem::data
