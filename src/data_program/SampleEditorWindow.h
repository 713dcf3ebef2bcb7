#pragma once

#include "data_program/SampleEditor.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QSpinBox;

namespace quantem::data {

class GroupTableModel;
class GroupTableView;
class Prompts;

/// The sample editor "Quantem - Data": a table of groups that is saved to data.qtm of the install
/// root. Every question goes through the prompts, so that tests can answer them.
class SampleEditorWindow : public QMainWindow
{
    Q_OBJECT

public:
    /// Opens the editor on data.qtm of the store's root.
    SampleEditorWindow(core::ScratchStore store, Prompts& prompts, QWidget* parent = nullptr);

    const SampleEditor& editor() const noexcept { return m_editor; }
    GroupTableModel* model() const noexcept { return m_model; }
    GroupTableView* view() const noexcept { return m_view; }

    /// The commands of the menus and the toolbar. The file commands return false when they did
    /// not complete (cancelled or refused).
    bool openFile();
    bool importFile();
    bool save();
    bool saveAs();
    void paste();
    void addRow();
    void deleteRows();
    void clearTable();
    void clearCells();
    void setGroupSize(int size);

    /// Asks whether to save unsaved changes; true when it is safe to go on.
    bool maybeSave();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* makeAction(
        const char* name, const QString& text, const QKeySequence& shortcut, const QString& tip);
    void buildActions();
    void buildMenusAndToolbar();
    void reloadTable();
    void refresh();
    void applyColumnWidths();
    QString readFileFor(const QString& title, const QString& filter, std::string& content);
    void showRefusal(const QString& message);

    SampleEditor m_editor;
    Prompts& m_prompts;
    GroupTableModel* m_model;
    GroupTableView* m_view;
    QSpinBox* m_groupSize = nullptr;
    QLabel* m_groupCount = nullptr;
    QAction* m_open = nullptr;
    QAction* m_save = nullptr;
    QAction* m_saveAs = nullptr;
    QAction* m_import = nullptr;
    QAction* m_paste = nullptr;
    QAction* m_addRow = nullptr;
    QAction* m_deleteRows = nullptr;
    QAction* m_clear = nullptr;
    QAction* m_close = nullptr;
};

} // namespace quantem::data
