// The file commands of the sample editor window: open, import, save, and the question before
// unsaved changes are lost.

#include "core/Fault.h"
#include "data_program/EditorTexts.h"
#include "data_program/GroupTableView.h"
#include "data_program/Prompts.h"
#include "data_program/SampleEditorWindow.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QStatusBar>

namespace quantem::data {

namespace {

    const QString kSampleFilter
        = QStringLiteral("Sample files (*.qtm);;Text files (*.txt *.csv *.dat);;All files (*)");
    const QString kImportFilter = QStringLiteral(
        "Text files (*.txt *.csv *.tsv *.dat);;Sample files (*.qtm);;All files (*)");

} // namespace

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
    SampleTable before = m_editor.table();
    try {
        m_editor.openText(content);
    } catch (const core::Fault& fault) {
        m_prompts.warn(this, title,
            QStringLiteral("Cannot open %1.\n\n%2.").arg(fileName, fromUtf8(fault.what())));
        return false;
    }
    keepChange(QStringLiteral("Open"), std::move(before));
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
    // An empty table takes the file's groups as they are; otherwise the numbers follow.
    const ImportChoice proposed { guessImportFormat(content),
        m_editor.table().hasNumbers() ? ImportPlacement::Append : ImportPlacement::Replace };
    const std::optional<ImportChoice> choice
        = m_prompts.chooseImport(this, fileName, content, proposed);
    if (!choice)
        return false;
    SampleTable before = m_editor.table();
    bool headerSkipped = false;
    std::size_t count = 0;
    try {
        count = m_editor.importText(content, headerSkipped, *choice);
    } catch (const core::Fault& fault) {
        m_prompts.warn(this, title,
            QStringLiteral("Nothing was imported from %1.\n\n%2.")
                .arg(fileName, fromUtf8(fault.what())));
        return false;
    }
    keepChange(QStringLiteral("Import"), std::move(before));
    reloadTable();
    QString message = QStringLiteral("Imported %1 numbers from %2")
                          .arg(count)
                          .arg(QFileInfo(fileName).fileName());
    if (choice->placement == ImportPlacement::Replace)
        message += QStringLiteral(" in place of the table");
    if (headerSkipped)
        message += kHeaderSkippedNote;
    statusBar()->showMessage(message);
    return true;
}

bool SampleEditorWindow::save()
{
    m_view->commitPendingEdit();
    const QString title = QStringLiteral("Save");
    if (m_editor.saveEmptiesDataFile()
        && !m_prompts.confirm(this, title,
            QStringLiteral("The table holds no groups. Saving it empties %1, and Quantem will "
                           "have no samples to fit.\n\nSave the empty table?")
                .arg(pathText(m_editor.dataFilePath())))) {
        statusBar()->showMessage(QStringLiteral("Nothing was saved: %1 keeps its groups")
                                     .arg(pathText(m_editor.dataFilePath())));
        return false;
    }
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
