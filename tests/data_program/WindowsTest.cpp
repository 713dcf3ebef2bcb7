#include "EditorFixture.h"
#include "FakePrompts.h"
#include "data_program/GroupTableModel.h"
#include "data_program/GroupTableView.h"
#include "data_program/ReportViewerWindow.h"
#include "data_program/SampleEditorWindow.h"
#include "support/TempRoot.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <gtest/gtest.h>

#include <memory>

namespace quantem::data {

using test::EditorFixture;
using test::FakePrompts;

TEST(SampleEditorWindow, ShowsDataQtmAsATableOfGroups)
{
    EditorFixture fixture("1.5,2,3\r\n4,5,6\r\n");
    SampleEditorWindow& window = *fixture.window;
    GroupTableModel* model = window.model();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Quantem - Data[*]"));
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_EQ(model->columnCount(), 3);
    EXPECT_EQ(model->rowCount(), 3); // two groups and the spare row
    EXPECT_EQ(fixture.shown(0, 0), QStringLiteral("1.5"));
    EXPECT_EQ(fixture.shown(1, 2), QStringLiteral("6"));
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("x1"));
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("y"));
    EXPECT_EQ(window.findChild<QSpinBox*>(QStringLiteral("numbersPerGroup"))->value(), 3);
    EXPECT_EQ(fixture.groupCount(), QStringLiteral("Groups: 2"));

    // Every command is reachable by a shortcut and explains itself.
    for (const char* name : { "actionOpen", "actionSave", "actionSaveAs", "actionPaste",
             "actionImport", "actionAddRow", "actionDeleteRows", "actionClear", "actionUndo",
             "actionRedo", "actionCut", "actionCopy", "actionClearCells" }) {
        const auto* action = window.findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        EXPECT_FALSE(action->shortcut().isEmpty()) << name;
        EXPECT_FALSE(action->toolTip().isEmpty()) << name;
        EXPECT_FALSE(action->statusTip().isEmpty()) << name;
    }

    QStringList edit;
    for (const QAction* action : window.findChild<QMenu*>(QStringLiteral("menuEdit"))->actions())
        edit.append(action->text() + QLatin1Char('|') + action->shortcut().toString());
    EXPECT_EQ(edit.join(QLatin1Char(',')).toStdString(),
        "&Undo|Ctrl+Z,&Redo|Ctrl+Shift+Z,|,Cu&t|Ctrl+X,&Copy|Ctrl+C,&Paste|Ctrl+V,"
        "Clear c&ells|Del,|,&Add row|Ctrl+R,&Delete rows|Ctrl+Del,C&lear|Ctrl+Shift+Del");
    EXPECT_EQ(window.findChild<QAction*>(QStringLiteral("actionRedo"))->shortcuts().size(), 2);
}

TEST(SampleEditorWindow, TakesNumbersAndRefusesOtherTexts)
{
    EditorFixture fixture("1,2\r\n");
    EXPECT_FALSE(fixture.type(0, 1, QStringLiteral("2,5")));
    ASSERT_EQ(fixture.prompts.warnings.size(), 1);
    EXPECT_TRUE(fixture.prompts.warnings[0].contains(QStringLiteral("\"2,5\" is not a number")))
        << fixture.prompts.warnings[0].toStdString();
    EXPECT_EQ(fixture.shown(0, 1), QStringLiteral("2"));
    EXPECT_FALSE(fixture.window->isWindowModified());

    // Typing into the spare row adds a group; its gap keeps saving refused.
    EXPECT_TRUE(fixture.type(1, 0, QStringLiteral(" 3.25 ")));
    EXPECT_EQ(fixture.window->model()->rowCount(), 3);
    EXPECT_EQ(fixture.shown(1, 0), QStringLiteral("3.25"));
    EXPECT_TRUE(fixture.window->isWindowModified());
    EXPECT_EQ(fixture.groupCount(), QStringLiteral("Groups: 1   (row 2 incomplete)"));

    EXPECT_FALSE(fixture.window->save());
    ASSERT_EQ(fixture.prompts.warnings.size(), 2);
    EXPECT_TRUE(fixture.prompts.warnings[1].contains(QStringLiteral("Row 2 is incomplete")));
    EXPECT_EQ(fixture.root.read("data.qtm"), "1,2\r\n");

    EXPECT_TRUE(fixture.type(1, 1, QStringLiteral("1E+20")));
    EXPECT_TRUE(fixture.window->save());
    EXPECT_EQ(fixture.root.read("data.qtm"), "1,2\r\n3.25,1E+20\r\n");
    EXPECT_FALSE(fixture.window->isWindowModified());
    EXPECT_EQ(fixture.groupCount(), QStringLiteral("Groups: 2"));
}

TEST(SampleEditorWindow, SavesTheTextOfACellStillBeingEdited)
{
    EditorFixture fixture("1,2\r\n");
    GroupTableView* view = fixture.window->view();
    const QModelIndex cell = fixture.window->model()->index(0, 1);
    view->setCurrentIndex(cell);
    view->edit(cell);
    QApplication::processEvents();
    auto* editor = view->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("7.5"));

    EXPECT_TRUE(fixture.window->save());
    EXPECT_EQ(fixture.root.read("data.qtm"), "1,7.5\r\n");
}

TEST(SampleEditorWindow, EnterMovesOnAndDeleteEmptiesTheSelectedCells)
{
    EditorFixture fixture("1,2\r\n");
    GroupTableView* view = fixture.window->view();
    GroupTableModel* model = fixture.window->model();
    const auto typeAndPressEnter = [&](const QString& text) {
        view->edit(view->currentIndex());
        QApplication::processEvents();
        auto* editor = view->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(editor, &enter);
        QApplication::processEvents();
    };

    view->setCurrentIndex(model->index(0, 1));
    typeAndPressEnter(QStringLiteral("2.5"));
    EXPECT_EQ(fixture.shown(0, 1), QStringLiteral("2.5"));
    EXPECT_EQ(view->currentIndex(), model->index(1, 0));
    typeAndPressEnter(QStringLiteral("3"));
    typeAndPressEnter(QStringLiteral("4"));
    EXPECT_EQ(fixture.groupCount(), QStringLiteral("Groups: 2"));
    EXPECT_EQ(view->currentIndex(), model->index(2, 0));

    // A refused text keeps the cursor where it was.
    view->setCurrentIndex(model->index(0, 0));
    typeAndPressEnter(QStringLiteral("one"));
    EXPECT_EQ(view->currentIndex(), model->index(0, 0));
    EXPECT_EQ(fixture.shown(0, 0), QStringLiteral("1"));

    view->selectionModel()->select(model->index(1, 1), QItemSelectionModel::ClearAndSelect);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(view, &del);
    EXPECT_EQ(fixture.shown(1, 1), QString());
    EXPECT_EQ(fixture.shown(1, 0), QStringLiteral("3"));
    EXPECT_EQ(fixture.groupCount(), QStringLiteral("Groups: 1   (row 2 incomplete)"));
}

TEST(SampleEditorWindow, AsksBeforeClosingWithUnsavedChanges)
{
    EditorFixture fixture("1,2\r\n3,4\r\n");
    SampleEditorWindow& window = *fixture.window;
    FakePrompts& prompts = fixture.prompts;

    // Nothing changed: it closes without asking.
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(prompts.asked.isEmpty());
    window.show();

    ASSERT_TRUE(fixture.type(0, 0, QStringLiteral("9")));
    prompts.unsavedAnswers = { UnsavedAnswer::Cancel };
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_TRUE(prompts.asked[0].startsWith(QStringLiteral("unsaved|")));
    EXPECT_TRUE(prompts.asked[0].contains(QStringLiteral("data.qtm")));
    EXPECT_EQ(fixture.root.read("data.qtm"), "1,2\r\n3,4\r\n");

    // Save with an incomplete group is refused, so the window stays open.
    ASSERT_TRUE(fixture.type(2, 0, QStringLiteral("5")));
    prompts.unsavedAnswers = { UnsavedAnswer::Save };
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(prompts.warnings.last().contains(QStringLiteral("Row 3 is incomplete")));
    EXPECT_EQ(fixture.root.read("data.qtm"), "1,2\r\n3,4\r\n");

    ASSERT_TRUE(fixture.type(2, 1, QStringLiteral("6")));
    prompts.unsavedAnswers = { UnsavedAnswer::Save };
    EXPECT_TRUE(window.close());
    EXPECT_EQ(fixture.root.read("data.qtm"), "9,2\r\n3,4\r\n5,6\r\n");
}

TEST(SampleEditorWindow, DiscardClosesWithoutWriting)
{
    EditorFixture fixture("1,2\r\n");
    ASSERT_TRUE(fixture.type(0, 1, QStringLiteral("8")));
    fixture.prompts.unsavedAnswers = { UnsavedAnswer::Discard };
    EXPECT_TRUE(fixture.window->close());
    EXPECT_EQ(fixture.prompts.asked.size(), 1);
    EXPECT_EQ(fixture.root.read("data.qtm"), "1,2\r\n");
}

TEST(SampleEditorWindow, OpenAsksFirstAndThenReplacesTheTable)
{
    EditorFixture fixture("1,2\r\n");
    fixture.root.writeFile("other.txt", "10 20 30\n40 50 60\n");
    const QString other = QString::fromStdString((fixture.root.path() / "other.txt").string());
    ASSERT_TRUE(fixture.type(0, 0, QStringLiteral("5")));

    fixture.prompts.unsavedAnswers = { UnsavedAnswer::Cancel };
    fixture.prompts.fileNames = { other };
    EXPECT_FALSE(fixture.window->openFile());
    EXPECT_EQ(fixture.shown(0, 0), QStringLiteral("5"));
    ASSERT_EQ(fixture.prompts.asked.size(), 1); // no file was asked for
    EXPECT_TRUE(fixture.prompts.asked[0].startsWith(QStringLiteral("unsaved|")));

    fixture.prompts.unsavedAnswers = { UnsavedAnswer::Discard };
    EXPECT_TRUE(fixture.window->openFile());
    EXPECT_EQ(fixture.window->model()->columnCount(), 3);
    EXPECT_EQ(fixture.shown(1, 2), QStringLiteral("60"));
    EXPECT_EQ(fixture.groupCount(), QStringLiteral("Groups: 2"));
    // Opened but not yet in data.qtm.
    EXPECT_TRUE(fixture.window->isWindowModified());
    EXPECT_EQ(fixture.root.read("data.qtm"), "1,2\r\n");

    // A file that is not numbers is refused and the table stays.
    fixture.root.writeFile("bad.txt", "10,20\nten,20\n");
    fixture.prompts.unsavedAnswers = { UnsavedAnswer::Discard };
    fixture.prompts.fileNames
        = { QString::fromStdString((fixture.root.path() / "bad.txt").string()) };
    EXPECT_FALSE(fixture.window->openFile());
    EXPECT_TRUE(fixture.prompts.warnings.last().contains(
        QStringLiteral("Line 2, item 1 is not a number: ten")));
    EXPECT_EQ(fixture.shown(1, 2), QStringLiteral("60"));
}

TEST(SampleEditorWindow, PastesImportsAndLaysOutAgain)
{
    EditorFixture fixture("1,2\r\n");
    QGuiApplication::clipboard()->setText(QStringLiteral("3\t4\r\n5\t6\r\n"));
    fixture.window->view()->clearSelection();
    fixture.window->paste();
    EXPECT_EQ(fixture.groupCount(), QStringLiteral("Groups: 3"));
    EXPECT_EQ(fixture.shown(2, 1), QStringLiteral("6"));

    fixture.root.writeFile("more.csv", "a,b\r\n7,8\r\n");
    fixture.prompts.fileNames
        = { QString::fromStdString((fixture.root.path() / "more.csv").string()) };
    EXPECT_TRUE(fixture.window->importFile());
    EXPECT_EQ(fixture.groupCount(), QStringLiteral("Groups: 4"));

    fixture.window->findChild<QSpinBox*>(QStringLiteral("numbersPerGroup"))->setValue(4);
    EXPECT_EQ(fixture.window->model()->columnCount(), 4);
    EXPECT_EQ(fixture.groupCount(), QStringLiteral("Groups: 2"));
    EXPECT_EQ(fixture.shown(1, 3), QStringLiteral("8"));
    EXPECT_TRUE(fixture.window->save());
    EXPECT_EQ(fixture.root.read("data.qtm"), "1,2,3,4\r\n5,6,7,8\r\n");
}

TEST(SampleEditorWindow, DeletesRowsAndClearsOnlyWhenConfirmed)
{
    EditorFixture fixture("1,2\r\n3,4\r\n5,6\r\n");
    GroupTableView* view = fixture.window->view();
    GroupTableModel* model = fixture.window->model();
    view->selectionModel()->select(model->index(1, 1), QItemSelectionModel::Select);
    view->selectionModel()->select(model->index(3, 0), QItemSelectionModel::Select); // spare row
    fixture.window->deleteRows();
    EXPECT_EQ(model->rowCount(), 3);
    EXPECT_EQ(fixture.shown(1, 0), QStringLiteral("5"));

    fixture.prompts.confirmations = { false };
    fixture.window->clearTable();
    EXPECT_EQ(fixture.groupCount(), QStringLiteral("Groups: 2"));
    fixture.prompts.confirmations = { true };
    fixture.window->clearTable();
    EXPECT_EQ(fixture.groupCount(), QStringLiteral("Groups: 0"));
    EXPECT_EQ(model->rowCount(), 1);
    EXPECT_TRUE(fixture.window->isWindowModified());
    EXPECT_EQ(fixture.root.read("data.qtm"), "1,2\r\n3,4\r\n5,6\r\n");
}

TEST(ReportViewerWindow, ShowsBgxSysReadOnlyAsStored)
{
    test::TempRoot root;
    root.writeFile(
        "sys/bgx.sys", "  Data report\r\n\r\n  x      y\r\n  1.5    2\r\n回归计算完成\r\n");
    ReportViewerWindow viewer { core::ScratchStore(root.path()) };
    EXPECT_FALSE(viewer.reportMissing());
    EXPECT_TRUE(viewer.textView()->isReadOnly());
    EXPECT_EQ(viewer.textView()->toPlainText(),
        QStringLiteral("  Data report\n\n  x      y\n  1.5    2\n回归计算完成\n"));
    EXPECT_EQ(viewer.textView()->document()->blockCount(), 6);

    test::TempRoot empty;
    ReportViewerWindow missing { core::ScratchStore(empty.path()) };
    EXPECT_TRUE(missing.reportMissing());
    EXPECT_TRUE(
        missing.textView()->toPlainText().startsWith(QStringLiteral("There is no report to show")));
}

} // namespace quantem::data
