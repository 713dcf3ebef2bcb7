#include "data_program/GroupTableView.h"

#include "data_program/GroupTableModel.h"

#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>

namespace quantem::data {

QWidget* CellDelegate::createEditor(
    QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    m_editor = QStyledItemDelegate::createEditor(parent, option, index);
    return m_editor;
}

GroupTableView::GroupTableView(QWidget* parent)
    : QTableView(parent)
    , m_delegate(new CellDelegate(this))
{
    setItemDelegate(m_delegate);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
        | QAbstractItemView::AnyKeyPressed);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAlternatingRowColors(true);
    setTabKeyNavigation(true);
    verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    verticalHeader()->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")));
}

void GroupTableView::commitPendingEdit()
{
    QWidget* editor = m_delegate->openEditor();
    if (editor == nullptr || state() != QAbstractItemView::EditingState)
        return;
    commitData(editor);
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
}

QList<int> GroupTableView::chosenRows() const
{
    QList<int> rows;
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    for (const QModelIndex& index : selected)
        rows.append(index.row());
    if (rows.isEmpty() && currentIndex().isValid())
        rows.append(currentIndex().row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void GroupTableView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    const auto* groups = qobject_cast<const GroupTableModel*>(model());
    const bool refused = groups != nullptr && groups->lastEditRefused();
    // A refused text keeps the cursor on its cell, Tab as well as Enter: moved on, the cursor
    // would put the next number, or a pasted group, one column too far.
    if (refused && hint != QAbstractItemDelegate::RevertModelCache)
        hint = QAbstractItemDelegate::NoHint;
    // Enter ends an edit with SubmitModelCache; for quick typing it moves on like Tab, but
    // without opening the next editor, so the next key typed starts it.
    const bool moveOn = hint == QAbstractItemDelegate::SubmitModelCache;
    QTableView::closeEditor(editor, moveOn ? QAbstractItemDelegate::NoHint : hint);
    if (moveOn) {
        const QModelIndex next = moveCursor(QAbstractItemView::MoveNext, Qt::NoModifier);
        if (next.isValid())
            setCurrentIndex(next);
    }
}

void GroupTableView::keyPressEvent(QKeyEvent* event)
{
    if (state() != QAbstractItemView::EditingState
        && (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace)
        && event->modifiers() == Qt::NoModifier) {
        emit clearCellsRequested();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

} // namespace quantem::data
