#include "EditorFixture.h"
#include "data_program/GroupTableView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <gtest/gtest.h>

#include <vector>

namespace quantem::data {

using test::EditorFixture;

namespace {

    void trigger(SampleEditorWindow& window, const char* action)
    {
        window.findChild<QAction*>(QString::fromLatin1(action))->trigger();
    }

    QString undoText(SampleEditorWindow& window)
    {
        return window.findChild<QAction*>(QStringLiteral("actionUndo"))->text();
    }

    /// Every cell of the table as shown, rows from the top, "-" for an empty cell.
    std::vector<std::string> rowsShown(const EditorFixture& fixture)
    {
        const SampleTable& table = fixture.window->editor().table();
        std::vector<std::string> rows;
        for (int row = 0; row < table.rowCount(); ++row) {
            std::string text;
            for (int column = 0; column < table.groupSize(); ++column) {
                const QString shown = fixture.shown(row, column);
                text += (column > 0 ? "," : "")
                    + (shown.isEmpty() ? std::string("-") : shown.toStdString());
            }
            rows.push_back(text);
        }
        return rows;
    }

    using Rows = std::vector<std::string>;

} // namespace

TEST(SampleEditorRows, AddRowPutsAnEmptyRowBelowTheCursorOrAtTheEnd)
{
    EditorFixture fixture("1,2\r\n3,4\r\n5,6\r\n");
    SampleEditorWindow& window = *fixture.window;
    GroupTableModel* model = window.model();

    // Below the cursor's row, whatever its column; the cursor goes to the new row's start.
    window.view()->setCurrentIndex(model->index(1, 1));
    trigger(window, "actionAddRow");
    EXPECT_EQ(rowsShown(fixture), (Rows { "1,2", "3,4", "-,-", "5,6" }));
    EXPECT_EQ(window.view()->currentIndex(), model->index(2, 0));
    EXPECT_EQ(undoText(window), QStringLiteral("&Undo Add row"));

    // Below the last group.
    window.view()->setCurrentIndex(model->index(3, 0));
    trigger(window, "actionAddRow");
    EXPECT_EQ(rowsShown(fixture), (Rows { "1,2", "3,4", "-,-", "5,6", "-,-" }));
    EXPECT_EQ(window.view()->currentIndex(), model->index(4, 0));

    // On the spare row, or with no cursor at all: at the end.
    window.view()->setCurrentIndex(model->index(5, 1));
    ASSERT_TRUE(model->isSpareRow(5));
    trigger(window, "actionAddRow");
    EXPECT_EQ(rowsShown(fixture), (Rows { "1,2", "3,4", "-,-", "5,6", "-,-", "-,-" }));
    EXPECT_EQ(window.view()->currentIndex(), model->index(5, 0));
    window.view()->setCurrentIndex(QModelIndex());
    trigger(window, "actionAddRow");
    EXPECT_EQ(rowsShown(fixture).size(), 7u);
    EXPECT_EQ(window.view()->currentIndex(), model->index(6, 0));
    EXPECT_EQ(model->rowCount(), 8); // and the spare row below

    // The numbers keep their groups; a typed cell of the new row stays where it was typed.
    EXPECT_EQ(window.editor().table().numbers(), (std::vector<double> { 1, 2, 3, 4, 5, 6 }));
    ASSERT_TRUE(fixture.type(2, 0, QStringLiteral("7.25")));
    EXPECT_EQ(rowsShown(fixture)[2], "7.25,-");

    window.undo(); // the typing
    for (int step = 0; step < 4; ++step)
        window.undo();
    EXPECT_EQ(rowsShown(fixture), (Rows { "1,2", "3,4", "5,6" }));
}

TEST(SampleEditorRows, ClearCellsEmptiesTheSelectedCellsAndOnlyThem)
{
    EditorFixture fixture("1.5,2\r\n3,4\r\n5,6\r\n");
    SampleEditorWindow& window = *fixture.window;
    GroupTableModel* model = window.model();
    int repaints = 0;
    QObject::connect(model, &QAbstractItemModel::dataChanged, [&repaints] { ++repaints; });
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));

    const auto select = [&](int top, int left, int bottom, int right) {
        window.view()->setCurrentIndex(model->index(top, left));
        window.view()->selectionModel()->select(
            QItemSelection(model->index(top, left), model->index(bottom, right)),
            QItemSelectionModel::ClearAndSelect);
    };
    select(0, 1, 1, 1);
    trigger(window, "actionClearCells");
    EXPECT_EQ(rowsShown(fixture), (Rows { "1.5,-", "3,-", "5,6" }));
    EXPECT_GT(repaints, 0); // the view is told
    EXPECT_EQ(fixture.groupCount(), QStringLiteral("Groups: 1   (row 1 incomplete)"));
    EXPECT_EQ(undoText(window), QStringLiteral("&Undo Clear cells"));
    EXPECT_TRUE(window.isWindowModified());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("kept")); // not a cut

    // A block that reaches into the spare row clears its groups' cells and leaves the spare
    // row as it is.
    select(2, 0, 3, 1);
    trigger(window, "actionClearCells");
    EXPECT_EQ(rowsShown(fixture), (Rows { "1.5,-", "3,-", "-,-" }));
    EXPECT_EQ(model->rowCount(), 4);

    // Nothing selected: no step to undo.
    window.view()->clearSelection();
    trigger(window, "actionClearCells");
    window.undo();
    EXPECT_EQ(rowsShown(fixture), (Rows { "1.5,-", "3,-", "5,6" }));
    window.undo();
    EXPECT_EQ(rowsShown(fixture), (Rows { "1.5,2", "3,4", "5,6" }));
    EXPECT_FALSE(window.isWindowModified());
}

} // namespace quantem::data
