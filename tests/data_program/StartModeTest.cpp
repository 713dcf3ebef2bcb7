#include "data_program/StartMode.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

namespace quantem::data {

TEST(StartMode, OnlyTwoInJbSysShowsTheReport)
{
    test::TempRoot root;
    const core::ScratchStore store(root.path());
    EXPECT_EQ(startModeOf(store), StartMode::SampleEditor); // missing
    const std::pair<const char*, StartMode> cases[] = {
        { "1\r\n", StartMode::SampleEditor },
        { "2\r\n", StartMode::ReportViewer },
        { " 2.0 ,7", StartMode::ReportViewer },
        { "2.5\r\n", StartMode::SampleEditor },
        { "0", StartMode::SampleEditor },
        { "\"2\"", StartMode::SampleEditor },
        { "", StartMode::SampleEditor },
        { "report", StartMode::SampleEditor },
    };
    for (const auto& [content, mode] : cases) {
        root.writeFile("sys/jb.sys", content);
        EXPECT_EQ(startModeOf(store), mode) << content;
    }
}

TEST(ReportText, ShowsTheStoredTextWithEveryLineEndAsABreak)
{
    EXPECT_EQ(reportDisplayText("a  b\r\n\r\nc\rd\ne\r\n"), "a  b\n\nc\nd\ne\n");
    EXPECT_EQ(reportDisplayText("回归计算完成\r\n  R = 0.95\t"), "回归计算完成\n  R = 0.95\t");
    EXPECT_EQ(reportDisplayText("\r\r\n\n"), "\n\n\n");

    test::TempRoot root;
    const core::ScratchStore store(root.path());
    bool missing = false;
    const std::string message = reportViewerText(store, missing);
    EXPECT_TRUE(missing);
    EXPECT_NE(message.find("There is no report to show"), std::string::npos);
    EXPECT_NE(message.find("bgx.sys"), std::string::npos);

    root.writeFile("sys/bgx.sys", "Report\r\n x = 1\r\n");
    EXPECT_EQ(reportViewerText(store, missing), "Report\n x = 1\n");
    EXPECT_FALSE(missing);
}

} // namespace quantem::data
