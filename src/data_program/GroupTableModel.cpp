#include "data_program/GroupTableModel.h"

#include "core/Fault.h"
#include "data_program/TableChange.h"

#include <QBrush>
#include <QColor>
#include <QUndoStack>

namespace quantem::data {

GroupTableModel::GroupTableModel(SampleEditor& editor, QUndoStack& undoStack, QObject* parent)
    : QAbstractTableModel(parent)
    , m_editor(editor)
    , m_undoStack(undoStack)
{
}

int GroupTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_editor.table().rowCount() + 1;
}

int GroupTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_editor.table().groupSize();
}

QVariant GroupTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || isSpareRow(index.row()))
        return {};
    const SampleTable& table = m_editor.table();
    const Cell& cell = table.cell(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QString::fromStdString(cellText(cell));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        // The gaps of a partly filled row, which saving refuses.
        if (!cell && !table.isRowEmpty(index.row()))
            return QBrush(QColor(255, 228, 196));
        return {};
    default:
        return {};
    }
}

bool GroupTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const std::string text = value.toString().toStdString();
    const int row = index.row();
    m_lastEditRefused = false;
    Cell cell;
    try {
        cell = parseCellText(text);
    } catch (const core::Fault& fault) {
        m_lastEditRefused = true;
        emit refused(QString::fromStdString(fault.what()));
        return false;
    }
    const bool spare = isSpareRow(row);
    if (spare && !cell)
        return true;
    const Cell before = spare ? Cell() : m_editor.table().cell(row, index.column());
    if (!spare && before == cell)
        return true;
    const CellChange::Cells change { row, index.column(), before, cell, spare };
    if (spare) {
        // The spare row becomes a group and a new spare row appears below it.
        beginInsertRows(QModelIndex(), row + 1, row + 1);
        m_editor.setCellText(row, index.column(), text);
        endInsertRows();
        emit headerDataChanged(Qt::Vertical, row, row + 1);
    } else {
        m_editor.setCellText(row, index.column(), text);
    }
    m_undoStack.push(new CellChange(m_editor, change));
    // A row's gap shading depends on all its cells.
    emit dataChanged(this->index(row, 0), this->index(row, columnCount() - 1));
    emit edited();
    return true;
}

Qt::ItemFlags GroupTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant GroupTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole)
            return QString::fromStdString(columnHeading(section, m_editor.table().groupSize()));
        return {};
    }
    if (isSpareRow(section)) {
        if (role == Qt::DisplayRole)
            return QStringLiteral("*");
        if (role == Qt::ToolTipRole)
            return QStringLiteral("Type here to add a group");
        return {};
    }
    if (role == Qt::DisplayRole)
        return section + 1;
    return {};
}

void GroupTableModel::cellsChanged()
{
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void GroupTableModel::reload()
{
    beginResetModel();
    endResetModel();
}

} // namespace quantem::data
