#include "data_program/EditorActions.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

namespace quantem::data {

namespace {

    QAction* makeAction(QMainWindow& window, const char* name, const QString& text,
        const QList<QKeySequence>& shortcuts, const QString& tip)
    {
        auto* action = new QAction(text, &window);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(shortcuts);
        QStringList keys;
        for (const QKeySequence& shortcut : shortcuts)
            keys.append(shortcut.toString(QKeySequence::NativeText));
        action->setToolTip(keys.isEmpty()
                ? tip
                : QStringLiteral("%1 (%2)").arg(tip, keys.join(QStringLiteral(" or "))));
        action->setStatusTip(tip);
        return action;
    }

    QAction* makeAction(QMainWindow& window, const char* name, const QString& text,
        const QKeySequence& shortcut, const QString& tip)
    {
        return makeAction(window, name, text, QList<QKeySequence> { shortcut }, tip);
    }

    void makeFileActions(QMainWindow& window, EditorActions& actions)
    {
        QStyle* look = window.style();
        actions.open
            = makeAction(window, "actionOpen", QStringLiteral("&Open..."), QKeySequence::Open,
                QStringLiteral("Open a sample file (.qtm or text) in place of the table"));
        actions.open->setIcon(look->standardIcon(QStyle::SP_DialogOpenButton));
        actions.save = makeAction(window, "actionSave", QStringLiteral("&Save"), QKeySequence::Save,
            QStringLiteral("Save the groups to data.qtm, where Quantem reads them"));
        actions.save->setIcon(look->standardIcon(QStyle::SP_DialogSaveButton));
        actions.saveAs = makeAction(window, "actionSaveAs", QStringLiteral("Save &As..."),
            QKeySequence(QStringLiteral("Ctrl+Shift+S")),
            QStringLiteral("Save a copy of the groups to another file"));
        actions.importFile = makeAction(window, "actionImport", QStringLiteral("&Import..."),
            QKeySequence(QStringLiteral("Ctrl+I")),
            QStringLiteral("Read the numbers of a text file separated by commas, semicolons, "
                           "tabs or blanks, after the last number or in place of the table"));
        actions.importFile->setIcon(look->standardIcon(QStyle::SP_FileDialogContentsView));
        actions.close = makeAction(window, "actionClose", QStringLiteral("&Close"),
            QKeySequence(QStringLiteral("Ctrl+Q")), QStringLiteral("Close the data program"));
    }

    void makeEditActions(QMainWindow& window, EditorActions& actions)
    {
        QStyle* look = window.style();
        actions.undo = makeAction(window, "actionUndo", QStringLiteral("&Undo"), QKeySequence::Undo,
            QStringLiteral("Take back the last change of the table"));
        actions.redo = makeAction(window, "actionRedo", QStringLiteral("&Redo"),
            { QKeySequence(QStringLiteral("Ctrl+Shift+Z")),
                QKeySequence(QStringLiteral("Ctrl+Y")) },
            QStringLiteral("Make the change last taken back again"));
        actions.cut = makeAction(window, "actionCut", QStringLiteral("Cu&t"), QKeySequence::Cut,
            QStringLiteral("Copy the selected cells as tab-separated text and empty them"));
        actions.copy = makeAction(window, "actionCopy", QStringLiteral("&Copy"), QKeySequence::Copy,
            QStringLiteral(
                "Copy the selected cells as tab-separated text, as spreadsheets read it"));
        actions.paste = makeAction(window, "actionPaste", QStringLiteral("&Paste"),
            QKeySequence::Paste,
            QStringLiteral("Paste numbers from the clipboard into the selected cell onwards, or "
                           "after the last number"));
        actions.paste->setIcon(look->standardIcon(QStyle::SP_FileDialogDetailedView));
        actions.clearCells = makeAction(window, "actionClearCells", QStringLiteral("Clear c&ells"),
            QKeySequence::Delete, QStringLiteral("Empty the selected cells"));
        // Delete empties cells only while the table has the keyboard; in a text box it is the
        // box's own.
        actions.clearCells->setShortcutContext(Qt::WidgetShortcut);
        actions.addRow = makeAction(window, "actionAddRow", QStringLiteral("&Add row"),
            QKeySequence(QStringLiteral("Ctrl+R")),
            QStringLiteral("Insert an empty group below the current row"));
        actions.addRow->setIcon(look->standardIcon(QStyle::SP_ArrowDown));
        actions.deleteRows = makeAction(window, "actionDeleteRows", QStringLiteral("&Delete rows"),
            QKeySequence(QStringLiteral("Ctrl+Del")),
            QStringLiteral("Delete the rows of the selected cells"));
        actions.deleteRows->setIcon(look->standardIcon(QStyle::SP_DialogDiscardButton));
        actions.clear = makeAction(window, "actionClear", QStringLiteral("C&lear"),
            QKeySequence(QStringLiteral("Ctrl+Shift+Del")),
            QStringLiteral("Remove all groups from the table"));
        actions.clear->setIcon(look->standardIcon(QStyle::SP_TrashIcon));
    }

    void addMenus(QMainWindow& window, EditorActions& actions)
    {
        QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
        file->setObjectName(QStringLiteral("menuFile"));
        file->addAction(actions.open);
        actions.recent = file->addMenu(QStringLiteral("Open &Recent"));
        actions.recent->setObjectName(QStringLiteral("menuRecent"));
        file->addAction(actions.importFile);
        file->addSeparator();
        file->addActions({ actions.save, actions.saveAs });
        file->addSeparator();
        file->addAction(actions.close);

        QMenu* edit = window.menuBar()->addMenu(QStringLiteral("&Edit"));
        edit->setObjectName(QStringLiteral("menuEdit"));
        edit->addActions({ actions.undo, actions.redo });
        edit->addSeparator();
        edit->addActions({ actions.cut, actions.copy, actions.paste, actions.clearCells });
        edit->addSeparator();
        edit->addActions({ actions.addRow, actions.deleteRows, actions.clear });
    }

    void addToolbar(QMainWindow& window, const EditorActions& actions)
    {
        QToolBar* tools = window.addToolBar(QStringLiteral("Data"));
        tools->setObjectName(QStringLiteral("toolBar"));
        tools->setMovable(false);
        tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        tools->addActions({ actions.open, actions.save, actions.importFile, actions.paste });
        tools->addSeparator();
        tools->addActions({ actions.addRow, actions.deleteRows, actions.clear });
    }

} // namespace

EditorActions addEditorActions(QMainWindow& window)
{
    EditorActions actions;
    makeFileActions(window, actions);
    makeEditActions(window, actions);
    addMenus(window, actions);
    addToolbar(window, actions);
    return actions;
}

QString stepCaption(const QString& command, const QString& step)
{
    return step.isEmpty() ? command : command + QLatin1Char(' ') + step;
}

} // namespace quantem::data
