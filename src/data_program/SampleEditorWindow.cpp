#include "data_program/SampleEditorWindow.h"

#include "core/Fault.h"
#include "data_program/GroupTableModel.h"
#include "data_program/GroupTableView.h"
#include "data_program/Prompts.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <filesystem>

namespace quantem::data {

namespace {

    const QString kTitle = QStringLiteral("Quantem - Data");
    const QString kSampleFilter
        = QStringLiteral("Sample files (*.qtm);;Text files (*.txt *.csv *.dat);;All files (*)");
    const QString kImportFilter = QStringLiteral(
        "Text files (*.txt *.csv *.tsv *.dat);;Sample files (*.qtm);;All files (*)");

    QString fromUtf8(const std::string& text) { return QString::fromStdString(text); }

    std::filesystem::path toPath(const QString& fileName)
    {
        return std::filesystem::path(fileName.toStdU16String());
    }

    QString pathText(const std::filesystem::path& path)
    {
        return QString::fromStdU16String(path.u16string());
    }

    QString groupsText(int count)
    {
        return count == 1 ? QStringLiteral("1 group") : QStringLiteral("%1 groups").arg(count);
    }

} // namespace

SampleEditorWindow::SampleEditorWindow(core::ScratchStore store, Prompts& prompts, QWidget* parent)
    : QMainWindow(parent)
    , m_editor(std::move(store))
    , m_prompts(prompts)
    , m_model(new GroupTableModel(m_editor, this))
    , m_view(new GroupTableView(this))
{
    setWindowTitle(kTitle + QStringLiteral("[*]"));
    m_view->setObjectName(QStringLiteral("groupTable"));
    m_view->setModel(m_model);

    buildActions();
    buildMenusAndToolbar();

    m_groupCount = new QLabel(this);
    m_groupCount->setObjectName(QStringLiteral("groupCount"));
    statusBar()->addPermanentWidget(m_groupCount);

    connect(m_model, &GroupTableModel::edited, this, &SampleEditorWindow::refresh);
    // The refusal is shown once the cell editor has closed, never from inside its commit.
    connect(m_model, &GroupTableModel::refused, this, &SampleEditorWindow::showRefusal,
        Qt::QueuedConnection);
    connect(m_view, &GroupTableView::clearCellsRequested, this, &SampleEditorWindow::clearCells);

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
            this, [this, message] { m_prompts.warn(this, kTitle, fromUtf8(message)); },
            Qt::QueuedConnection);
    }
    resize(720, 540);
}

QAction* SampleEditorWindow::makeAction(
    const char* name, const QString& text, const QKeySequence& shortcut, const QString& tip)
{
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    const QString keys = shortcut.toString(QKeySequence::NativeText);
    action->setToolTip(keys.isEmpty() ? tip : QStringLiteral("%1 (%2)").arg(tip, keys));
    action->setStatusTip(tip);
    return action;
}

void SampleEditorWindow::buildActions()
{
    QStyle* look = style();
    m_open = makeAction("actionOpen", QStringLiteral("&Open..."), QKeySequence::Open,
        QStringLiteral("Open a sample file (.qtm or text) in place of the table"));
    m_open->setIcon(look->standardIcon(QStyle::SP_DialogOpenButton));
    connect(m_open, &QAction::triggered, this, [this] { openFile(); });

    m_save = makeAction("actionSave", QStringLiteral("&Save"), QKeySequence::Save,
        QStringLiteral("Save the groups to data.qtm, where Quantem reads them"));
    m_save->setIcon(look->standardIcon(QStyle::SP_DialogSaveButton));
    connect(m_save, &QAction::triggered, this, [this] { save(); });

    m_saveAs = makeAction("actionSaveAs", QStringLiteral("Save &As..."),
        QKeySequence(QStringLiteral("Ctrl+Shift+S")),
        QStringLiteral("Save a copy of the groups to another file"));
    connect(m_saveAs, &QAction::triggered, this, [this] { saveAs(); });

    m_import = makeAction("actionImport", QStringLiteral("&Import..."),
        QKeySequence(QStringLiteral("Ctrl+I")),
        QStringLiteral(
            "Add the numbers of a comma-, tab- or blank-separated text file after the last one"));
    m_import->setIcon(look->standardIcon(QStyle::SP_FileDialogContentsView));
    connect(m_import, &QAction::triggered, this, [this] { importFile(); });

    m_paste = makeAction("actionPaste", QStringLiteral("&Paste"), QKeySequence::Paste,
        QStringLiteral("Paste numbers from the clipboard into the selected cell onwards, or "
                       "after the last number"));
    m_paste->setIcon(look->standardIcon(QStyle::SP_FileDialogDetailedView));
    connect(m_paste, &QAction::triggered, this, &SampleEditorWindow::paste);

    m_addRow = makeAction("actionAddRow", QStringLiteral("&Add row"),
        QKeySequence(QStringLiteral("Ctrl+R")),
        QStringLiteral("Insert an empty group below the current row"));
    m_addRow->setIcon(look->standardIcon(QStyle::SP_ArrowDown));
    connect(m_addRow, &QAction::triggered, this, &SampleEditorWindow::addRow);

    m_deleteRows = makeAction("actionDeleteRows", QStringLiteral("&Delete rows"),
        QKeySequence(QStringLiteral("Ctrl+Del")),
        QStringLiteral("Delete the rows of the selected cells"));
    m_deleteRows->setIcon(look->standardIcon(QStyle::SP_DialogDiscardButton));
    connect(m_deleteRows, &QAction::triggered, this, &SampleEditorWindow::deleteRows);

    m_clear = makeAction("actionClear", QStringLiteral("C&lear"),
        QKeySequence(QStringLiteral("Ctrl+Shift+Del")),
        QStringLiteral("Remove all groups from the table"));
    m_clear->setIcon(look->standardIcon(QStyle::SP_TrashIcon));
    connect(m_clear, &QAction::triggered, this, &SampleEditorWindow::clearTable);

    m_close = makeAction("actionClose", QStringLiteral("&Close"),
        QKeySequence(QStringLiteral("Ctrl+Q")), QStringLiteral("Close the data program"));
    connect(m_close, &QAction::triggered, this, &QWidget::close);
}

void SampleEditorWindow::buildMenusAndToolbar()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("menuFile"));
    file->addAction(m_open);
    file->addAction(m_import);
    file->addSeparator();
    file->addAction(m_save);
    file->addAction(m_saveAs);
    file->addSeparator();
    file->addAction(m_close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("menuEdit"));
    edit->addAction(m_paste);
    edit->addSeparator();
    edit->addAction(m_addRow);
    edit->addAction(m_deleteRows);
    edit->addAction(m_clear);

    QToolBar* tools = addToolBar(QStringLiteral("Data"));
    tools->setObjectName(QStringLiteral("toolBar"));
    tools->setMovable(false);
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tools->addAction(m_open);
    tools->addAction(m_save);
    tools->addAction(m_import);
    tools->addAction(m_paste);
    tools->addSeparator();
    tools->addAction(m_addRow);
    tools->addAction(m_deleteRows);
    tools->addAction(m_clear);

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
    setCentralWidget(panel);
    connect(m_groupSize, &QSpinBox::valueChanged, this, &SampleEditorWindow::setGroupSize);
}

void SampleEditorWindow::reloadTable()
{
    m_model->reload();
    applyColumnWidths();
    refresh();
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
    m_deleteRows->setEnabled(hasRows);
    m_clear->setEnabled(hasRows);
}

void SampleEditorWindow::showRefusal(const QString& message)
{
    statusBar()->showMessage(message);
    m_prompts.warn(this, QStringLiteral("Not a number"), message);
}

QString SampleEditorWindow::readFileFor(
    const QString& title, const QString& filter, std::string& content)
{
    const QString directory = pathText(m_editor.store().root());
    const QString fileName = m_prompts.openFileName(this, title, directory, filter);
    if (fileName.isEmpty())
        return {};
    try {
        content = core::readWholeFile(toPath(fileName));
    } catch (const core::Fault&) {
        m_prompts.warn(this, title, QStringLiteral("Cannot read %1.").arg(fileName));
        return {};
    }
    return fileName;
}

bool SampleEditorWindow::openFile()
{
    m_view->commitPendingEdit();
    if (!maybeSave())
        return false;
    const QString title = QStringLiteral("Open sample file");
    std::string content;
    const QString fileName = readFileFor(title, kSampleFilter, content);
    if (fileName.isEmpty())
        return false;
    try {
        m_editor.openText(content);
    } catch (const core::Fault& fault) {
        m_prompts.warn(this, title,
            QStringLiteral("Cannot open %1.\n\n%2.").arg(fileName, fromUtf8(fault.what())));
        return false;
    }
    reloadTable();
    statusBar()->showMessage(
        QStringLiteral("Opened %1: %2 of %3 numbers. Save puts them in %4.")
            .arg(QFileInfo(fileName).fileName(), groupsText(m_editor.table().groupCount()))
            .arg(m_editor.table().groupSize())
            .arg(pathText(m_editor.dataFilePath())));
    return true;
}

bool SampleEditorWindow::importFile()
{
    m_view->commitPendingEdit();
    const QString title = QStringLiteral("Import numbers");
    std::string content;
    const QString fileName = readFileFor(title, kImportFilter, content);
    if (fileName.isEmpty())
        return false;
    bool headerSkipped = false;
    std::size_t count = 0;
    try {
        count = m_editor.importText(content, headerSkipped);
    } catch (const core::Fault& fault) {
        m_prompts.warn(this, title,
            QStringLiteral("Nothing was imported from %1.\n\n%2.")
                .arg(fileName, fromUtf8(fault.what())));
        return false;
    }
    reloadTable();
    QString message = QStringLiteral("Imported %1 numbers from %2")
                          .arg(count)
                          .arg(QFileInfo(fileName).fileName());
    if (headerSkipped)
        message += QStringLiteral(" (its first line, without numbers, was skipped)");
    statusBar()->showMessage(message);
    return true;
}

bool SampleEditorWindow::save()
{
    m_view->commitPendingEdit();
    const QString title = QStringLiteral("Save");
    try {
        m_editor.save();
    } catch (const core::Fault& fault) {
        m_prompts.warn(this, title,
            QStringLiteral("The groups were not saved.\n\n%1").arg(fromUtf8(fault.what())));
        return false;
    }
    refresh();
    statusBar()->showMessage(
        QStringLiteral("Saved %1 to %2")
            .arg(groupsText(m_editor.table().groupCount()), pathText(m_editor.dataFilePath())));
    return true;
}

bool SampleEditorWindow::saveAs()
{
    m_view->commitPendingEdit();
    const QString title = QStringLiteral("Save As");
    const std::string refusal = m_editor.saveRefusal();
    if (!refusal.empty()) {
        m_prompts.warn(
            this, title, QStringLiteral("The groups were not saved.\n\n%1").arg(fromUtf8(refusal)));
        return false;
    }
    QString fileName
        = m_prompts.saveFileName(this, title, pathText(m_editor.store().root()), kSampleFilter);
    if (fileName.isEmpty())
        return false;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".qtm");
    try {
        m_editor.saveAs(toPath(fileName));
    } catch (const core::Fault& fault) {
        m_prompts.warn(this, title,
            QStringLiteral("The groups were not saved.\n\n%1").arg(fromUtf8(fault.what())));
        return false;
    }
    statusBar()->showMessage(QStringLiteral("Saved a copy of %1 to %2")
                                 .arg(groupsText(m_editor.table().groupCount()), fileName));
    return true;
}

void SampleEditorWindow::paste()
{
    m_view->commitPendingEdit();
    const std::string text = QGuiApplication::clipboard()->text().toStdString();
    const QModelIndex current = m_view->currentIndex();
    const bool atCell = current.isValid() && m_view->selectionModel()->hasSelection();
    std::size_t count = 0;
    bool headerSkipped = false;
    try {
        if (atCell)
            count = m_editor.pasteText(text, current.row(), current.column());
        else
            count = m_editor.importText(text, headerSkipped);
    } catch (const core::Fault& fault) {
        m_prompts.warn(this, QStringLiteral("Paste"),
            QStringLiteral("Nothing was pasted.\n\n%1.").arg(fromUtf8(fault.what())));
        return;
    }
    reloadTable();
    if (atCell)
        m_view->setCurrentIndex(m_model->index(current.row(), current.column()));
    statusBar()->showMessage(QStringLiteral("Pasted %1 numbers").arg(count));
}

void SampleEditorWindow::addRow()
{
    m_view->commitPendingEdit();
    const QModelIndex current = m_view->currentIndex();
    const int rows = m_editor.table().rowCount();
    const int row = current.isValid() && current.row() < rows ? current.row() + 1 : rows;
    m_editor.insertEmptyRow(row);
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
    m_editor.removeRows(rows);
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
    m_editor.clear();
    reloadTable();
}

void SampleEditorWindow::clearCells()
{
    std::vector<std::pair<int, int>> cells;
    for (const QModelIndex& index : m_view->selectionModel()->selectedIndexes())
        cells.emplace_back(index.row(), index.column());
    if (cells.empty())
        return;
    m_editor.clearCells(cells);
    m_model->cellsChanged();
    refresh();
}

void SampleEditorWindow::setGroupSize(int size)
{
    m_view->commitPendingEdit();
    if (size == m_editor.table().groupSize())
        return;
    m_editor.setGroupSize(size);
    reloadTable();
    statusBar()->showMessage(QStringLiteral("Numbers laid out in groups of %1").arg(size));
}

bool SampleEditorWindow::maybeSave()
{
    if (!m_editor.isModified())
        return true;
    const QString text
        = QStringLiteral("The groups have changes that are not saved in %1.\n\nSave them now?")
              .arg(pathText(m_editor.dataFilePath()));
    switch (m_prompts.askUnsavedChanges(this, text)) {
    case UnsavedAnswer::Save:
        return save();
    case UnsavedAnswer::Discard:
        return true;
    case UnsavedAnswer::Cancel:
        break;
    }
    return false;
}

void SampleEditorWindow::closeEvent(QCloseEvent* event)
{
    m_view->commitPendingEdit();
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

} // namespace quantem::data
