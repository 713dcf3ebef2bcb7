#include "app/Commands.h"
#include "app/MessageWindowCommands.h"
#include "core/Fault.h"
#include "core/Notices.h"
#include "support/FailingFileOperations.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quantem::app {
namespace {

    using core::MessageWindowId;
    using core::ScratchFile;
    using test::FailingFileOperations;
    using Call = FailingFileOperations::Call;

    struct WriteFailureTest : ::testing::Test
    {
        test::TempRoot root;
        FailingFileOperations operations;
        core::Session session { core::ScratchStore(
            root.path(), std::make_shared<core::FileStoreBackend>(root.path(), operations)) };

        std::string reasonFor(const std::string& name, int error) const
        {
            return "Cannot write " + root.sys(name).string() + ": " + std::strerror(error);
        }
    };

    TEST_F(WriteFailureTest, TheCauseOutlastsTrappedFaultsLaterNoticesAndAnswers)
    {
        // A command that traps the failed write itself and posts a notice of its own after it.
        operations.failAt(Call::Flush, 2, EIO);
        runCommand(session, [&] {
            session.store.writeRecord(ScratchFile::R1, { 0.0 });
            try {
                session.store.writeRecord(ScratchFile::Rr, { 1.0, 2.0, 3.0, 4.0 });
            } catch (const core::Fault&) {
            }
            core::postNotice(session.form1, core::NoticeKind::Reason, "a later reason");
            session.messages.show(MessageWindowId::Form5);
        });
        EXPECT_EQ(session.form1.StatusBar1[0], reasonFor("rr.sys", EIO));

        // Answering the message window keeps it; so does a later step that only adds a hint (the
        // blank picture is missing from this root).
        runCommand(
            session,
            [&] { pressMessageButton(session, MessageWindowId::Form5, MessageButton::Yes); },
            CommandStart::Continuing);
        EXPECT_EQ(session.form1.StatusBar1[0], reasonFor("rr.sys", EIO));
        runCommand(
            session, [&] { clearResults(session, Route::Toolbar); }, CommandStart::Continuing);
        EXPECT_EQ(session.form1.StatusBar1[0], reasonFor("rr.sys", EIO));

        // The user's next command starts without it.
        runCommand(session, [&] { setSampleCountText(session, "8"); });
        EXPECT_EQ(session.form1.StatusBar1[0], "");
    }

    TEST_F(WriteFailureTest, TheFirstFailedFileIsNamedAndTheOthersCounted)
    {
        // The start-up reset stops at its first failed write; clear results writes on past its
        // failures only when they are trapped, so make three commands' worth of failures in one.
        operations.failAt(Call::Create, 1, ENOSPC);
        runCommand(session, [&] { startUpReset(session); });
        EXPECT_EQ(session.form1.StatusBar1[0], reasonFor("da.sys", ENOSPC));
        EXPECT_EQ(session.messages.log().size(), 1U);
        EXPECT_EQ(root.readSys("da.sys"), "<missing>");

        runCommand(session, [&] {
            for (ScratchFile file :
                { ScratchFile::Wcqk, ScratchFile::Jc, ScratchFile::Wcqk, ScratchFile::Culi }) {
                operations.failAt(Call::Rename, 1, EROFS);
                try {
                    session.store.writeRecord(file, { 0.0 });
                } catch (const core::Fault&) {
                }
            }
        });
        EXPECT_EQ(
            session.form1.StatusBar1[0], reasonFor("wcqk.sys", EROFS) + " (and 2 more files)");
        EXPECT_TRUE(test::temporaryFilesIn(root.path() / "sys").empty());
    }

} // namespace
} // namespace quantem::app
