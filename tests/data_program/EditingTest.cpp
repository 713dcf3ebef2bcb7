#include "EditorFixture.h"
#include "data_program/GroupTableView.h"
#include "data_program/ImportDialog.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUndoStack>
#include <gtest/gtest.h>

#include <vector>

namespace quantem::data {

using test::EditorFixture;

namespace {

    void selectBlock(SampleEditorWindow& window, int top, int left, int bottom, int right)
    {
        GroupTableModel* model = window.model();
        window.view()->setCurrentIndex(model->index(top, left));
        window.view()->selectionModel()->select(
            QItemSelection(model->index(top, left), model->index(bottom, right)),
            QItemSelectionModel::ClearAndSelect);
    }

    void trigger(SampleEditorWindow& window, const char* action)
    {
        window.findChild<QAction*>(QString::fromLatin1(action))->trigger();
    }

    QString clipboardText() { return QGuiApplication::clipboard()->text(); }

} // namespace

TEST(SampleEditorEditing, CopiesAndCutsABlockAsTabSeparatedText)
{
    EditorFixture fixture("1.5,2\r\n0.1,4\r\n5,6\r\n");
    SampleEditorWindow& window = *fixture.window;
    selectBlock(window, 0, 0, 1, 1);
    trigger(window, "actionCopy");
    EXPECT_EQ(clipboardText(), QStringLiteral("1.5\t2\n0.1\t4\n"));
    EXPECT_FALSE(window.isWindowModified());

    selectBlock(window, 1, 1, 2, 1);
    trigger(window, "actionCut");
    EXPECT_EQ(clipboardText(), QStringLiteral("4\n6\n"));
    EXPECT_EQ(fixture.shown(1, 1), QString());
    EXPECT_EQ(fixture.shown(2, 1), QString());
    EXPECT_EQ(fixture.groupCount(), QStringLiteral("Groups: 1   (row 2 incomplete)"));

    trigger(window, "actionUndo");
    EXPECT_EQ(fixture.shown(2, 1), QStringLiteral("6"));
    EXPECT_EQ(fixture.groupCount(), QStringLiteral("Groups: 3"));
    EXPECT_FALSE(window.isWindowModified());

    // Nothing selected: nothing copied, the clipboard keeps its text.
    window.view()->clearSelection();
    trigger(window, "actionCopy");
    EXPECT_EQ(clipboardText(), QStringLiteral("4\n6\n"));
}

TEST(SampleEditorEditing, UndoAndRedoRestoreTheTableExactly)
{
    EditorFixture fixture("1,2\r\n3,4\r\n5,6\r\n");
    SampleEditorWindow& window = *fixture.window;
    fixture.root.writeFile("more.csv", "a;b\r\n7,25;8\r\n9;10,5\r\n");
    std::vector<SampleTable> states { window.editor().table() };
    const auto changed = [&] {
        EXPECT_FALSE(window.editor().table() == states.back()) << "step " << states.size();
        states.push_back(window.editor().table());
    };

    ASSERT_TRUE(fixture.type(0, 1, QStringLiteral("2.5")));
    changed();
    ASSERT_TRUE(fixture.type(3, 0, QStringLiteral("11"))); // the spare row becomes a group
    changed();
    QGuiApplication::clipboard()->setText(QStringLiteral("12\t13\n"));
    selectBlock(window, 3, 0, 3, 0);
    window.paste();
    changed();
    fixture.prompts.fileNames
        = { QString::fromStdString((fixture.root.path() / "more.csv").string()) };
    ASSERT_TRUE(window.importFile());
    changed();
    selectBlock(window, 1, 0, 2, 1);
    window.deleteRows();
    changed();
    window.view()->setCurrentIndex(window.model()->index(0, 0));
    window.addRow();
    changed();
    window.setGroupSize(3);
    changed();
    fixture.prompts.confirmations = { true };
    window.clearTable();
    changed();

    for (std::size_t step = states.size() - 1; step > 0; --step) {
        window.undo();
        EXPECT_TRUE(window.editor().table() == states[step - 1]) << "undo to " << step - 1;
    }
    EXPECT_FALSE(window.findChild<QAction*>(QStringLiteral("actionUndo"))->isEnabled());
    EXPECT_EQ(fixture.shown(0, 1), QStringLiteral("2"));
    EXPECT_FALSE(window.isWindowModified());
    for (std::size_t step = 1; step < states.size(); ++step) {
        window.redo();
        EXPECT_TRUE(window.editor().table() == states[step]) << "redo to " << step;
    }
    EXPECT_EQ(window.findChild<QAction*>(QStringLiteral("actionUndo"))->text(),
        QStringLiteral("&Undo Clear"));
    EXPECT_FALSE(window.findChild<QAction*>(QStringLiteral("actionRedo"))->isEnabled());

    // The semicolon file was read with decimal commas, as proposed.
    ASSERT_EQ(fixture.prompts.proposedImports.size(), 1u);
    EXPECT_TRUE(fixture.prompts.proposedImports[0]
        == (ImportChoice {
            { Separator::Semicolon, DecimalMark::Comma }, ImportPlacement::Append }));
    EXPECT_EQ(states[4].numbers(),
        (std::vector<double> { 1, 2.5, 3, 4, 5, 6, 12, 13, 7.25, 8, 9, 10.5 }));
}

TEST(SampleEditorEditing, ARefusedTextKeepsTheCursorSoAPastedGroupStartsItsRow)
{
    EditorFixture fixture("1,2\r\n3,4\r\n");
    GroupTableView* view = fixture.window->view();
    GroupTableModel* model = fixture.window->model();
    view->setCurrentIndex(model->index(1, 0));
    view->edit(view->currentIndex());
    QApplication::processEvents();
    auto* editor = view->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("3,5"));
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(editor, &tab);
    QApplication::processEvents();
    ASSERT_EQ(fixture.prompts.warnings.size(), 1);
    EXPECT_EQ(view->currentIndex(), model->index(1, 0));

    // A block of whole groups goes to the first column, wherever the cursor stands in its row.
    QGuiApplication::clipboard()->setText(QStringLiteral("x\ty\r\n5\t6\r\n7\t8\r\n"));
    selectBlock(*fixture.window, 1, 1, 1, 1);
    fixture.window->paste();
    EXPECT_EQ(
        fixture.window->editor().table().numbers(), (std::vector<double> { 1, 2, 5, 6, 7, 8 }));
    EXPECT_EQ(view->currentIndex(), model->index(1, 0));
}

TEST(SampleEditorEditing, SavingAnEmptyTableAsksBeforeEmptyingDataQtm)
{
    EditorFixture fixture("1,2\r\n3,4\r\n");
    SampleEditorWindow& window = *fixture.window;
    test::FakePrompts& prompts = fixture.prompts;
    prompts.confirmations = { true, false }; // clear, then do not save
    window.clearTable();
    EXPECT_FALSE(window.save());
    EXPECT_EQ(prompts.asked.last(), QStringLiteral("confirm|Save"));
    EXPECT_EQ(fixture.root.read("data.qtm"), "1,2\r\n3,4\r\n");
    EXPECT_TRUE(window.isWindowModified());

    // Closing with Save asks the same, and Yes empties the file.
    prompts.unsavedAnswers = { UnsavedAnswer::Save };
    prompts.confirmations = { true };
    EXPECT_TRUE(window.close());
    EXPECT_EQ(fixture.root.read("data.qtm"), "");

    // An empty file has nothing to lose.
    window.show();
    const qsizetype asked = prompts.asked.size();
    EXPECT_TRUE(window.save());
    EXPECT_EQ(prompts.asked.size(), asked);
}

TEST(ImportDialog, ShowsWhatTheChoiceReadsAndTakesOnlyOneThatReadsTheFile)
{
    const std::string text = "Zeit;Last\r\n0,5;2,385\r\n1;-3,5E-2\r\n";
    const ImportChoice proposed { guessImportFormat(text), ImportPlacement::Replace };
    ImportDialog dialog(QStringLiteral("/data/run 4.csv"), text, proposed);
    const auto* reads = dialog.findChild<QLabel*>(QStringLiteral("importReads"));
    const auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    EXPECT_EQ(reads->text(),
        QStringLiteral(
            "Reads 4 numbers, 2 on each line. The first line, without numbers, is skipped."));
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_TRUE(dialog.choice() == proposed);

    auto* separator = dialog.findChild<QComboBox*>(QStringLiteral("separator"));
    separator->setCurrentIndex(separator->findData(static_cast<int>(Separator::Comma)));
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(reads->text().startsWith(QStringLiteral("A comma cannot both separate")));
}

} // namespace quantem::data
