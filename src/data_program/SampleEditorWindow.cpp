#include "data_program/SampleEditorWindow.h"

#include "core/Fault.h"
#include "data_program/EditorTexts.h"
#include "data_program/GroupTableModel.h"
#include "data_program/GroupTableView.h"
#include "data_program/Prompts.h"
#include "data_program/RecentFiles.h"
#include "data_program/TableChange.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QStatusBar>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

namespace quantem::data {

namespace {

    // Each step may hold a copy of the table; a hundred are more than a session takes back.
    constexpr int kUndoSteps = 100;

} // namespace

SampleEditorWindow::SampleEditorWindow(core::ScratchStore store, Prompts& prompts,
    const std::optional<std::filesystem::path>& document, QWidget* parent)
    : QMainWindow(parent)
    , m_editor(std::move(store))
    , m_prompts(prompts)
    , m_undoStack(new QUndoStack(this))
    , m_model(new GroupTableModel(m_editor, *m_undoStack, this))
    , m_view(new GroupTableView(this))
    , m_actions(addEditorActions(*this))
{
    setObjectName(QStringLiteral("SampleEditor"));
    setWindowTitle(kEditorTitle + QStringLiteral("[*]"));
    m_undoStack->setUndoLimit(kUndoSteps);
    m_view->setObjectName(QStringLiteral("groupTable"));
    m_view->setModel(m_model);
    m_view->addAction(m_actions.clearCells);
    setCentralWidget(makeGroupSizePanel());
    connectActions();

    m_groupCount = new QLabel(this);
    m_groupCount->setObjectName(QStringLiteral("groupCount"));
    statusBar()->addPermanentWidget(m_groupCount);

    connect(m_model, &GroupTableModel::edited, this, &SampleEditorWindow::refresh);
    // The refusal is shown once the cell editor has closed, never from inside its commit.
    connect(m_model, &GroupTableModel::refused, this, &SampleEditorWindow::showRefusal,
        Qt::QueuedConnection);
    connect(m_view, &GroupTableView::clearCellsRequested, this, &SampleEditorWindow::clearCells);

    if (document) {
        m_editor.setDocumentFile(std::filesystem::absolute(*document));
        rememberSampleFile(pathText(m_editor.dataFilePath()));
    }
    loadAndTell();
    resize(720, 540);
}

void SampleEditorWindow::loadAndTell()
{
    std::string message;
    const SampleEditor::LoadOutcome outcome = m_editor.loadDataFile(message);
    reloadTable();
    if (outcome == SampleEditor::LoadOutcome::Loaded) {
        statusBar()->showMessage(
            QStringLiteral("Opened %1: %2 of %3 numbers")
                .arg(pathText(m_editor.dataFilePath()), groupsText(m_editor.table().groupCount()))
                .arg(m_editor.table().groupSize()));
    } else {
        statusBar()->showMessage(fromUtf8(message));
    }
    if (outcome == SampleEditor::LoadOutcome::Unreadable) {
        QMetaObject::invokeMethod(
            this, [this, message] { m_prompts.warn(this, kEditorTitle, fromUtf8(message)); },
            Qt::QueuedConnection);
    }
}

bool SampleEditorWindow::openDocument(const std::filesystem::path& path)
{
    m_view->commitPendingEdit();
    if (!maybeSave())
        return false;
    m_editor.setDocumentFile(std::filesystem::absolute(path));
    rememberSampleFile(pathText(m_editor.dataFilePath()));
    m_undoStack->clear(); // the steps were taken on another file
    loadAndTell();
    return true;
}

void SampleEditorWindow::fillRecentMenu()
{
    QMenu* menu = m_actions.recent;
    menu->clear();
    const QStringList files = recentSampleFiles();
    for (const QString& file : files) {
        QAction* open = menu->addAction(file);
        connect(open, &QAction::triggered, this, [this, file] { openDocument(toPath(file)); });
    }
    if (files.isEmpty())
        menu->addAction(QStringLiteral("(no sample file opened by name yet)"))->setEnabled(false);
}

void SampleEditorWindow::connectActions()
{
    const EditorActions& actions = m_actions;
    connect(actions.recent, &QMenu::aboutToShow, this, &SampleEditorWindow::fillRecentMenu);
    connect(actions.open, &QAction::triggered, this, [this] { openFile(); });
    connect(actions.importFile, &QAction::triggered, this, [this] { importFile(); });
    connect(actions.save, &QAction::triggered, this, [this] { save(); });
    connect(actions.saveAs, &QAction::triggered, this, [this] { saveAs(); });
    connect(actions.close, &QAction::triggered, this, &QWidget::close);
    connect(actions.undo, &QAction::triggered, this, &SampleEditorWindow::undo);
    connect(actions.redo, &QAction::triggered, this, &SampleEditorWindow::redo);
    connect(actions.cut, &QAction::triggered, this, &SampleEditorWindow::cut);
    connect(actions.copy, &QAction::triggered, this, &SampleEditorWindow::copy);
    connect(actions.paste, &QAction::triggered, this, &SampleEditorWindow::paste);
    connect(actions.clearCells, &QAction::triggered, this, &SampleEditorWindow::clearCells);
    connect(actions.addRow, &QAction::triggered, this, &SampleEditorWindow::addRow);
    connect(actions.deleteRows, &QAction::triggered, this, &SampleEditorWindow::deleteRows);
    connect(actions.clear, &QAction::triggered, this, &SampleEditorWindow::clearTable);
}

QWidget* SampleEditorWindow::makeGroupSizePanel()
{
    // The numbers per group sit above the table they shape.
    auto* panel = new QWidget(this);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("&Numbers per group:"), panel);
    m_groupSize = new QSpinBox(panel);
    m_groupSize->setObjectName(QStringLiteral("numbersPerGroup"));
    m_groupSize->setRange(kMinGroupSize, kMaxGroupSize);
    // Taken when the user is done typing, not at every digit.
    m_groupSize->setKeyboardTracking(false);
    m_groupSize->setToolTip(QStringLiteral(
        "Changing it lays the numbers out again in order, in groups of the new size"));
    label->setBuddy(m_groupSize);
    auto* hint = new QLabel(
        QStringLiteral(
            "2, 3 or 4 for the power models; x1..xm and y for multiple linear regression"),
        panel);
    hint->setEnabled(false);
    row->addWidget(label);
    row->addWidget(m_groupSize);
    row->addSpacing(12);
    row->addWidget(hint, 1);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(6, 6, 6, 0);
    column->addLayout(row);
    column->addWidget(m_view, 1);
    connect(m_groupSize, &QSpinBox::valueChanged, this, &SampleEditorWindow::setGroupSize);
    return panel;
}

void SampleEditorWindow::keepChange(const QString& step, SampleTable before)
{
    // A command that changed nothing leaves no step to take back.
    if (before == m_editor.table())
        return;
    m_undoStack->push(new TableChange(m_editor, std::move(before), step));
}

void SampleEditorWindow::reloadTable()
{
    m_model->reload();
    applyColumnWidths();
    refresh();
}

void SampleEditorWindow::showTableKeepingCursor()
{
    const QModelIndex current = m_view->currentIndex();
    const int row = current.row();
    const int column = current.column();
    reloadTable();
    if (row >= 0 && column >= 0) {
        m_view->setCurrentIndex(m_model->index(
            std::min(row, m_model->rowCount() - 1), std::min(column, m_model->columnCount() - 1)));
    }
}

void SampleEditorWindow::applyColumnWidths()
{
    // A few columns share the width; many keep a readable width and scroll.
    QHeaderView* header = m_view->horizontalHeader();
    header->setSectionResizeMode(
        m_editor.table().groupSize() <= 6 ? QHeaderView::Stretch : QHeaderView::Interactive);
    header->setDefaultSectionSize(110);
}

void SampleEditorWindow::refresh()
{
    const SampleTable& table = m_editor.table();
    setWindowModified(m_editor.isModified());
    {
        const QSignalBlocker blocker(m_groupSize);
        m_groupSize->setValue(table.groupSize());
    }
    QString count = QStringLiteral("Groups: %1").arg(table.groupCount());
    if (const std::optional<int> row = table.firstIncompleteRow())
        count += QStringLiteral("   (row %1 incomplete)").arg(*row + 1);
    m_groupCount->setText(count);
    const bool hasRows = table.rowCount() > 0;
    m_actions.deleteRows->setEnabled(hasRows);
    m_actions.clear->setEnabled(hasRows);
    m_actions.undo->setEnabled(m_undoStack->canUndo());
    m_actions.undo->setText(stepCaption(QStringLiteral("&Undo"), m_undoStack->undoText()));
    m_actions.redo->setEnabled(m_undoStack->canRedo());
    m_actions.redo->setText(stepCaption(QStringLiteral("&Redo"), m_undoStack->redoText()));
}

void SampleEditorWindow::showRefusal(const QString& message)
{
    statusBar()->showMessage(message);
    m_prompts.warn(this, QStringLiteral("Not a number"), message);
}

std::vector<std::pair<int, int>> SampleEditorWindow::selectedCells() const
{
    std::vector<std::pair<int, int>> cells;
    for (const QModelIndex& index : m_view->selectionModel()->selectedIndexes())
        cells.emplace_back(index.row(), index.column());
    return cells;
}

void SampleEditorWindow::undo()
{
    m_view->commitPendingEdit();
    if (!m_undoStack->canUndo())
        return;
    const QString step = m_undoStack->undoText();
    m_undoStack->undo();
    showTableKeepingCursor();
    statusBar()->showMessage(QStringLiteral("Took back: %1").arg(step));
}

void SampleEditorWindow::redo()
{
    m_view->commitPendingEdit();
    if (!m_undoStack->canRedo())
        return;
    const QString step = m_undoStack->redoText();
    m_undoStack->redo();
    showTableKeepingCursor();
    statusBar()->showMessage(QStringLiteral("Made again: %1").arg(step));
}

void SampleEditorWindow::copy()
{
    m_view->commitPendingEdit();
    const std::string text = blockText(m_editor.table(), selectedCells());
    if (text.empty()) {
        statusBar()->showMessage(QStringLiteral("Select the cells to copy"));
        return;
    }
    QGuiApplication::clipboard()->setText(fromUtf8(text));
    statusBar()->showMessage(QStringLiteral("Copied the selected cells as tab-separated text"));
}

void SampleEditorWindow::cut()
{
    m_view->commitPendingEdit();
    const std::vector<std::pair<int, int>> cells = selectedCells();
    const std::string text = blockText(m_editor.table(), cells);
    if (text.empty()) {
        statusBar()->showMessage(QStringLiteral("Select the cells to cut"));
        return;
    }
    QGuiApplication::clipboard()->setText(fromUtf8(text));
    emptyCells(cells, QStringLiteral("Cut"));
    statusBar()->showMessage(QStringLiteral("Cut the selected cells as tab-separated text"));
}

void SampleEditorWindow::paste()
{
    m_view->commitPendingEdit();
    const std::string text = QGuiApplication::clipboard()->text().toStdString();
    const QModelIndex current = m_view->currentIndex();
    const bool atCell = current.isValid() && m_view->selectionModel()->hasSelection();
    SampleTable before = m_editor.table();
    SampleEditor::Pasted pasted;
    try {
        if (atCell)
            pasted = m_editor.pasteText(text, current.row(), current.column());
        else
            pasted.count = m_editor.importText(text, pasted.headerSkipped);
    } catch (const core::Fault& fault) {
        m_prompts.warn(this, QStringLiteral("Paste"),
            QStringLiteral("Nothing was pasted.\n\n%1.").arg(fromUtf8(fault.what())));
        return;
    }
    keepChange(QStringLiteral("Paste"), std::move(before));
    reloadTable();
    if (atCell)
        m_view->setCurrentIndex(m_model->index(pasted.row, pasted.column));
    QString message = QStringLiteral("Pasted %1 numbers").arg(pasted.count);
    if (pasted.headerSkipped)
        message += kHeaderSkippedNote;
    statusBar()->showMessage(message);
}

void SampleEditorWindow::addRow()
{
    m_view->commitPendingEdit();
    const QModelIndex current = m_view->currentIndex();
    const int rows = m_editor.table().rowCount();
    const int row = current.isValid() && current.row() < rows ? current.row() + 1 : rows;
    SampleTable before = m_editor.table();
    m_editor.insertEmptyRow(row);
    keepChange(QStringLiteral("Add row"), std::move(before));
    reloadTable();
    m_view->setCurrentIndex(m_model->index(row, 0));
}

void SampleEditorWindow::deleteRows()
{
    m_view->commitPendingEdit();
    std::vector<int> rows;
    for (int row : m_view->chosenRows()) {
        if (!m_model->isSpareRow(row))
            rows.push_back(row);
    }
    if (rows.empty()) {
        statusBar()->showMessage(QStringLiteral("Select cells of the rows to delete"));
        return;
    }
    SampleTable before = m_editor.table();
    m_editor.removeRows(rows);
    keepChange(QStringLiteral("Delete rows"), std::move(before));
    reloadTable();
    const int next = std::min(rows.front(), m_editor.table().rowCount());
    m_view->setCurrentIndex(m_model->index(next, 0));
    statusBar()->showMessage(rows.size() == 1 ? QStringLiteral("Deleted 1 row")
                                              : QStringLiteral("Deleted %1 rows").arg(rows.size()));
}

void SampleEditorWindow::clearTable()
{
    m_view->commitPendingEdit();
    if (m_editor.table().hasNumbers()
        && !m_prompts.confirm(this, QStringLiteral("Clear"),
            QStringLiteral("Remove all groups from the table?\n\n%1 keeps its "
                           "groups until you save.")
                .arg(pathText(m_editor.dataFilePath()))))
        return;
    SampleTable before = m_editor.table();
    m_editor.clear();
    keepChange(QStringLiteral("Clear"), std::move(before));
    reloadTable();
}

void SampleEditorWindow::clearCells()
{
    emptyCells(selectedCells(), QStringLiteral("Clear cells"));
}

void SampleEditorWindow::emptyCells(
    const std::vector<std::pair<int, int>>& cells, const QString& step)
{
    if (cells.empty())
        return;
    SampleTable before = m_editor.table();
    m_editor.clearCells(cells);
    keepChange(step, std::move(before));
    m_model->cellsChanged();
    refresh();
}

void SampleEditorWindow::setGroupSize(int size)
{
    m_view->commitPendingEdit();
    if (size == m_editor.table().groupSize())
        return;
    SampleTable before = m_editor.table();
    m_editor.setGroupSize(size);
    keepChange(QStringLiteral("Numbers per group"), std::move(before));
    reloadTable();
    statusBar()->showMessage(QStringLiteral("Numbers laid out in groups of %1").arg(size));
}

} // namespace quantem::data
