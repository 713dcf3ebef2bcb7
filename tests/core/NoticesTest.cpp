#include "core/Notices.h"

#include <gtest/gtest.h>

namespace quantem::core {
namespace {

    TEST(Notices, ALesserNoticeNeverHidesAGreaterOne)
    {
        Form1 form;
        postNotice(form, NoticeKind::Hint, "Picture not found: /r/sz/gs311.bmp");
        postNotice(form, NoticeKind::Hint, "The page could not be opened: /r/help.html");
        EXPECT_EQ(form.StatusBar1[0], "The page could not be opened: /r/help.html");
        postNotice(
            form, NoticeKind::WriteFailure, "Cannot write /r/sys/xx.sys: Disk quota exceeded");
        for (NoticeKind lesser : { NoticeKind::Hint, NoticeKind::Reason, NoticeKind::Warning })
            postNotice(form, lesser, "later");
        EXPECT_EQ(form.StatusBar1[0], "Cannot write /r/sys/xx.sys: Disk quota exceeded");
        EXPECT_EQ(form.StatusBar1Notice, NoticeKind::WriteFailure);

        clearNotice(form);
        EXPECT_EQ(form.StatusBar1[0], "");
        postNotice(form, NoticeKind::Hint, "after a new command anything may speak");
        EXPECT_EQ(form.StatusBar1[0], "after a new command anything may speak");
        // The other panels are never touched.
        EXPECT_EQ(form.StatusBar1[3], "0");
        EXPECT_EQ(form.StatusBar1[4], "1");
    }

} // namespace
} // namespace quantem::core
