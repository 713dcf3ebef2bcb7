#pragma once

#include <QList>

class QAction;
class QMainWindow;
class QMenu;

namespace quantem::data {

/// The commands of the sample editor as actions, made once and shown in every menu and toolbar
/// that offers them. Each has its menu-item name as object name, a shortcut, and tips that say
/// what it does (the tool tip with its keys).
struct EditorActions
{
    QAction* open = nullptr;
    QMenu* recent = nullptr; // the sample files opened by name, filled when it opens
    QAction* importFile = nullptr;
    QAction* save = nullptr;
    QAction* saveAs = nullptr;
    QAction* close = nullptr;
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    QAction* cut = nullptr;
    QAction* copy = nullptr;
    QAction* paste = nullptr;
    QAction* clearCells = nullptr;
    QAction* addRow = nullptr;
    QAction* deleteRows = nullptr;
    QAction* clear = nullptr;
};

/// Makes the actions, owned by window, and puts them into its File and Edit menus and its
/// toolbar. Nothing is connected yet.
EditorActions addEditorActions(QMainWindow& window);

/// The caption of Undo or Redo for the step it would take ("&Undo Paste").
QString stepCaption(const QString& command, const QString& step);

} // namespace quantem::data
