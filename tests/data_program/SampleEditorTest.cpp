#include "data_program/SampleEditor.h"

#include "core/Fault.h"
#include "support/PlantedLink.h"
#include "support/RootHolder.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

namespace quantem::data {
namespace {

    using Outcome = SampleEditor::LoadOutcome;

    struct LoadedEditor
    {
        explicit LoadedEditor(const std::string& samples)
        {
            root.writeSamples(samples);
            outcome = editor.loadDataFile(message);
        }
        test::TempRoot root;
        SampleEditor editor { core::ScratchStore(root.path()) };
        std::string message;
        Outcome outcome = Outcome::Missing;
    };

    int faultNumber(const std::function<void()>& call)
    {
        try {
            call();
        } catch (const core::Fault& fault) {
            return fault.number();
        }
        return 0;
    }

} // namespace

TEST(SampleEditor, LoadsDataQtmWithTheGroupSizeOfItsFirstLine)
{
    LoadedEditor loaded("1.5,2.25,3\r\n4,5,6\r\n7,8,9.75\r\n");
    EXPECT_EQ(loaded.outcome, Outcome::Loaded);
    EXPECT_EQ(loaded.message, "");
    EXPECT_EQ(loaded.editor.table().groupSize(), 3);
    EXPECT_EQ(loaded.editor.table().groupCount(), 3);
    EXPECT_EQ(loaded.editor.table().cell(2, 2), Cell(9.75));
    EXPECT_FALSE(loaded.editor.isModified());

    // Line layout carries no meaning: one number per line lays out in pairs.
    LoadedEditor column("1\n2\n3\n4\n5\n");
    EXPECT_EQ(column.editor.table().groupSize(), 2);
    EXPECT_EQ(column.editor.table().rowCount(), 3);
    EXPECT_FALSE(column.editor.isModified());
}

TEST(SampleEditor, StartsEmptyWhenDataQtmIsMissingOrUnreadable)
{
    test::TempRoot root;
    SampleEditor editor { core::ScratchStore(root.path()) };
    std::string message;
    EXPECT_EQ(editor.loadDataFile(message), Outcome::Missing);
    EXPECT_NE(message.find("There is no sample file"), std::string::npos);
    EXPECT_EQ(editor.table().rowCount(), 0);
    EXPECT_FALSE(editor.isModified());

    LoadedEditor bad("1,2\r\n3,four\r\n");
    EXPECT_EQ(bad.outcome, Outcome::Unreadable);
    EXPECT_NE(bad.message.find("Line 2, item 2 is not a number: four"), std::string::npos);
    EXPECT_EQ(bad.editor.table().rowCount(), 0);
    EXPECT_FALSE(bad.editor.isModified());
    // Nothing is written until the user saves.
    EXPECT_EQ(bad.root.read("data.qtm"), "1,2\r\n3,four\r\n");
}

TEST(SampleEditor, KnowsWhenTheGroupsDifferFromTheSavedFile)
{
    LoadedEditor loaded("1,2\r\n3,4\r\n");
    SampleEditor& editor = loaded.editor;

    editor.setCellText(1, 1, " 4.5 ");
    EXPECT_TRUE(editor.isModified());
    editor.setCellText(1, 1, "4");
    EXPECT_FALSE(editor.isModified());

    // Empty rows are not saved, so they are no change.
    editor.insertEmptyRow(1);
    editor.insertEmptyRow(3);
    EXPECT_FALSE(editor.isModified());

    // The same numbers in other groups are a different file.
    editor.setGroupSize(4);
    EXPECT_TRUE(editor.isModified());
    editor.setGroupSize(2);
    EXPECT_FALSE(editor.isModified());

    // Typing into the row below the last adds a group; an empty text there adds nothing.
    editor.setCellText(2, 0, "");
    EXPECT_EQ(editor.table().rowCount(), 2);
    editor.setCellText(2, 0, "5");
    EXPECT_EQ(editor.table().rowCount(), 3);
    EXPECT_TRUE(editor.isModified());

    editor.clear();
    EXPECT_TRUE(editor.isModified());
}

TEST(SampleEditor, RefusesATypedTextThatIsNotANumberKeepingTheCell)
{
    LoadedEditor loaded("1,2\r\n3,4\r\n");
    EXPECT_EQ(faultNumber([&] { loaded.editor.setCellText(0, 1, "2,5"); }), 13);
    EXPECT_EQ(faultNumber([&] { loaded.editor.setCellText(2, 0, "x"); }), 13);
    EXPECT_EQ(loaded.editor.table().cell(0, 1), Cell(2.0));
    EXPECT_EQ(loaded.editor.table().rowCount(), 2);
    EXPECT_FALSE(loaded.editor.isModified());
}

TEST(SampleEditor, SavesDataQtmAndRefusesAnIncompleteGroup)
{
    LoadedEditor loaded("1,2\r\n3,4\r\n");
    SampleEditor& editor = loaded.editor;
    editor.setCellText(2, 0, "0.1");
    EXPECT_EQ(faultNumber([&] { editor.save(); }), 62);
    EXPECT_EQ(editor.saveRefusal().substr(0, 21), "Row 3 is incomplete: ");
    EXPECT_EQ(loaded.root.read("data.qtm"), "1,2\r\n3,4\r\n");
    EXPECT_TRUE(editor.isModified());

    editor.setCellText(2, 1, "-2.5e-3");
    editor.save();
    EXPECT_EQ(loaded.root.read("data.qtm"), "1,2\r\n3,4\r\n0.1,-0.0025\r\n");
    EXPECT_FALSE(editor.isModified());
    EXPECT_EQ(loaded.root.read("data.qtm.part"), "<missing>");
}

TEST(SampleEditor, SaveAsWritesACopyAndLeavesDataQtmUnsaved)
{
    LoadedEditor loaded("1,2\r\n");
    SampleEditor& editor = loaded.editor;
    editor.setCellText(0, 0, "8");
    editor.saveAs(loaded.root.path() / "copy.qtm");
    EXPECT_EQ(loaded.root.read("copy.qtm"), "8,2\r\n");
    EXPECT_EQ(loaded.root.read("data.qtm"), "1,2\r\n");
    EXPECT_TRUE(editor.isModified());

    EXPECT_EQ(
        faultNumber([&] { editor.saveAs(loaded.root.path() / "no" / "such" / "dir.qtm"); }), 75);
}

TEST(SampleEditor, SaveWaitsForAProgramOnTheRootAndSaveAsRefusesAPlantedLink)
{
    LoadedEditor loaded("1,2\r\n");
    SampleEditor& editor = loaded.editor;
    editor.setCellText(0, 0, "8");
    {
        const test::RootHolder fitting(loaded.root.path(), "quantem-fit");
        ASSERT_TRUE(fitting.held());
        try {
            editor.save();
            ADD_FAILURE() << "saved while another program held the root";
        } catch (const core::Fault& fault) {
            EXPECT_EQ(fault.number(), 75);
            EXPECT_NE(std::string(fault.what()).find("is in use by quantem-fit (process "),
                std::string::npos)
                << fault.what();
        }
        EXPECT_EQ(loaded.root.read("data.qtm"), "1,2\r\n");
        EXPECT_TRUE(editor.isModified());
    }
    editor.save();
    EXPECT_EQ(loaded.root.read("data.qtm"), "8,2\r\n");

    const test::PlantedLink link(loaded.root.path() / "copy.qtm", loaded.root.path() / "victim");
    EXPECT_EQ(faultNumber([&] { editor.saveAs(link.path()); }), 75);
    EXPECT_EQ(link.damage(), "");
}

TEST(SampleEditor, OpensImportsAndPastesText)
{
    LoadedEditor loaded("1,2\r\n3,4\r\n");
    SampleEditor& editor = loaded.editor;

    editor.openText("5 6 7\n8 9 10\n");
    EXPECT_EQ(editor.table().groupSize(), 3);
    EXPECT_EQ(editor.table().numbers(), (std::vector<double> { 5, 6, 7, 8, 9, 10 }));
    EXPECT_TRUE(editor.isModified());

    // A text that cannot be read leaves the table as it was.
    EXPECT_EQ(faultNumber([&] { editor.openText("1,2\nthree,4\n"); }), 13);
    EXPECT_EQ(editor.table().numbers().size(), 6u);
    EXPECT_EQ(faultNumber([&] {
        bool skipped = false;
        editor.importText("1\t2\t3\n4\tfive\n", skipped);
    }),
        13);
    EXPECT_EQ(editor.table().numbers().size(), 6u);

    bool skipped = false;
    EXPECT_EQ(editor.importText("a\tb\tc\r\n11\t12\t13\r\n14\r\n", skipped), 4u);
    EXPECT_TRUE(skipped);
    EXPECT_EQ(editor.table().rowCount(), 4);
    EXPECT_EQ(editor.table().cell(3, 0), Cell(14.0));

    EXPECT_EQ(editor.pasteText("20\t21\r\n22\t23\r\n", 3, 1).count, 4u);
    EXPECT_EQ(editor.table().numbers(),
        (std::vector<double> { 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 20, 21, 22, 23 }));
    EXPECT_EQ(editor.table().rowCount(), 5);

    EXPECT_EQ(editor.saveRefusal().substr(0, 20), "Row 5 is incomplete:");
    editor.pasteText("24", 4, 2);
    editor.save();
    EXPECT_EQ(
        loaded.root.read("data.qtm"), "5,6,7\r\n8,9,10\r\n11,12,13\r\n14,20,21\r\n22,23,24\r\n");
}

TEST(SampleEditor, ImportsInPlaceOfTheGroupsLaidOutAsTheFilesLines)
{
    LoadedEditor loaded("1,2\r\n3,4\r\n");
    SampleEditor& editor = loaded.editor;
    const ImportChoice replace { { Separator::Semicolon, DecimalMark::Comma },
        ImportPlacement::Replace };
    bool skipped = false;
    EXPECT_EQ(editor.importText("x;y;z\r\n0,5;2,385;-1\r\n7;8,25;9\r\n", skipped, replace), 6u);
    EXPECT_EQ(editor.table().groupSize(), 3);
    EXPECT_EQ(editor.table().cell(1, 1), Cell(8.25));
    EXPECT_EQ(faultNumber([&] { editor.importText("1.5;2\n", skipped, replace); }), 13);
    EXPECT_EQ(editor.table().rowCount(), 2);
}

TEST(SampleEditor, KnowsWhenSavingWouldEmptyDataQtm)
{
    // A file the editor cannot read may still be what the user wants back.
    LoadedEditor damaged("1,x\r\n");
    EXPECT_TRUE(damaged.editor.saveEmptiesDataFile());
    test::TempRoot root;
    EXPECT_FALSE(SampleEditor(core::ScratchStore(root.path())).saveEmptiesDataFile());
}

} // namespace quantem::data
