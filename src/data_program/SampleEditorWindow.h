#pragma once

#include "data_program/EditorActions.h"
#include "data_program/SampleEditor.h"

#include <QMainWindow>

#include <filesystem>
#include <optional>

class QLabel;
class QSpinBox;
class QUndoStack;

namespace quantem::data {

class GroupTableModel;
class GroupTableView;
class Prompts;

/// The sample editor "Quantem - Data": a table of groups that is saved to data.qtm of the install
/// root. Every question goes through the prompts, so that tests can answer them; every change of
/// the table is a step that Undo takes back.
class SampleEditorWindow : public QMainWindow
{
    Q_OBJECT

public:
    /// Opens the editor on data.qtm of the store's root, or on document when one is given: a
    /// sample file opened by name, which Save then writes back.
    SampleEditorWindow(core::ScratchStore store, Prompts& prompts,
        const std::optional<std::filesystem::path>& document = std::nullopt,
        QWidget* parent = nullptr);

    const SampleEditor& editor() const noexcept { return m_editor; }
    GroupTableModel* model() const noexcept { return m_model; }
    GroupTableView* view() const noexcept { return m_view; }
    QUndoStack* undoStack() const noexcept { return m_undoStack; }

    /// The commands of the menus and the toolbar. The file commands return false when they did
    /// not complete (cancelled or refused).
    bool openFile();
    /// Makes path the file the editor edits and saves (after asking about unsaved changes), and
    /// puts it first in the recent list. False when cancelled.
    bool openDocument(const std::filesystem::path& path);
    bool importFile();
    bool save();
    bool saveAs();
    void undo();
    void redo();
    void cut();
    void copy();
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
    void connectActions();
    QWidget* makeGroupSizePanel();
    void keepChange(const QString& step, SampleTable before);
    void reloadTable();
    /// Loads the editor's file into the table and says in the status bar how that went.
    void loadAndTell();
    void fillRecentMenu();
    void showTableKeepingCursor();
    void refresh();
    void applyColumnWidths();
    std::vector<std::pair<int, int>> selectedCells() const;
    void emptyCells(const std::vector<std::pair<int, int>>& cells, const QString& step);
    QString readFileFor(const QString& title, const QString& filter, std::string& content);
    void showRefusal(const QString& message);

    SampleEditor m_editor;
    Prompts& m_prompts;
    QUndoStack* m_undoStack;
    GroupTableModel* m_model;
    GroupTableView* m_view;
    EditorActions m_actions;
    QSpinBox* m_groupSize = nullptr;
    QLabel* m_groupCount = nullptr;
};

} // namespace quantem::data
