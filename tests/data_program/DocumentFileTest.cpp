#include "FakePrompts.h"
#include "data_program/GroupTableModel.h"
#include "data_program/RecentFiles.h"
#include "data_program/SampleEditorWindow.h"
#include "support/TempRoot.h"

#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace quantem::data {
namespace {

    // A sample file opened by name is edited and saved where it is, never in data.qtm.
    TEST(DocumentFile, IsLoadedSavedBackAndRememberedWhileDataQtmStaysAsItWas)
    {
        QStandardPaths::setTestModeEnabled(true);
        test::TempRoot root;
        root.writeSamples("1,1\r\n2,4\r\n");
        root.writeFile("mine.qtm", "1,2,3\r\n4,5,6\r\n");
        test::FakePrompts prompts;
        const std::filesystem::path mine = root.path() / "mine.qtm";
        SampleEditorWindow window(core::ScratchStore(root.path()), prompts, mine);
        EXPECT_EQ(window.editor().table().groupSize(), 3);
        EXPECT_EQ(window.editor().table().groupCount(), 2);
        GroupTableModel* model = window.model();
        ASSERT_TRUE(model->setData(model->index(0, 0), QStringLiteral("7")));
        ASSERT_TRUE(window.save());
        EXPECT_EQ(root.read("mine.qtm").substr(0, 1), "7");
        EXPECT_EQ(root.read("data.qtm"), "1,1\r\n2,4\r\n");
        EXPECT_EQ(recentSampleFiles().value(0).toStdString(), mine.string());

        // Another file, and a missing one: the missing one is told, nothing is written.
        EXPECT_TRUE(window.openDocument(root.path() / "absent.qtm"));
        EXPECT_EQ(window.editor().table().groupCount(), 0);
        EXPECT_FALSE(std::filesystem::exists(root.path() / "absent.qtm"));
        EXPECT_EQ(recentSampleFiles().value(1).toStdString(), mine.string());
    }

} // namespace
} // namespace quantem::data
