#include "app/Commands.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quantem::app {
namespace {

    // The desktop program's start: the reset, then the main window's load as a command of its
    // own, which empties status panel 1 as every new command does.
    void startUp(core::Session& session)
    {
        runCommand(session, [&] { startUpReset(session); });
        runCommand(session, [&] { loadMainWindow(session, "10/12/2026", "15:42:07"); });
    }

    TEST(StartUpNotice, TheFirstStateNamesTheScratchFilesTheStartCouldNotWrite)
    {
        test::TempRoot root;
        std::filesystem::create_directory(root.sys("xx.sys"));
        core::Session session(root.path());
        startUp(session);
        EXPECT_EQ(session.form1.StatusBar1[0],
            "Cannot write " + root.sys("xx.sys").string() + ": Is a directory");
        EXPECT_EQ(session.form1.StatusBar1Notice, core::NoticeKind::WriteFailure);
        EXPECT_EQ(session.form1.StatusBar1[1], "10/12/2026");
        EXPECT_EQ(session.form1.StatusBar1[2], "15:42:07");
        // The next command the user starts speaks for itself again.
        runCommand(session, [&] { setSampleCountText(session, "8"); });
        EXPECT_EQ(session.form1.StatusBar1[0], "");
    }

    TEST(StartUpNotice, AStartOnAWritableRootLeavesPanel1Empty)
    {
        test::TempRoot root;
        core::Session session(root.path());
        startUp(session);
        EXPECT_EQ(session.form1.StatusBar1[0], "");
        EXPECT_EQ(session.form1.StatusBar1Notice, core::NoticeKind::None);
    }

} // namespace
} // namespace quantem::app
