#include "core/WindowStates.h"

#include <gtest/gtest.h>

namespace quantem::core {
namespace {

    TEST(MessageWindows, FreshLoadRestoresTheStandingText)
    {
        MessageWindows windows;
        windows.show(MessageWindowId::Form5, std::string("Have no data !"));
        EXPECT_EQ(windows[MessageWindowId::Form5].text, "Have no data !");
        windows.unload(MessageWindowId::Form5);
        windows.show(MessageWindowId::Form5);
        EXPECT_EQ(windows[MessageWindowId::Form5].text, "   Input error !");
        ASSERT_EQ(windows.log().size(), 2u);
        EXPECT_EQ(windows.log()[0].text, "Have no data !");
    }

    TEST(MessageWindows, SecondShowingOfAVisibleWindowKeepsItsText)
    {
        MessageWindows windows;
        windows.show(MessageWindowId::Form5, std::string("   Do regression !"));
        windows.show(MessageWindowId::Form5);
        EXPECT_EQ(windows[MessageWindowId::Form5].text, "   Do regression !");
        EXPECT_TRUE(windows[MessageWindowId::Form5].visible);
        EXPECT_EQ(windows.log().back().text, "   Do regression !");
    }

    TEST(MessageWindows, StandingTexts)
    {
        EXPECT_STREQ(standingText(MessageWindowId::Form6), "Model choice mistake !");
        EXPECT_STREQ(standingText(MessageWindowId::Form9), "Choose the X coordinate axis !");
        EXPECT_STREQ(standingText(MessageWindowId::Form10), "Has not been saved yet.save it now ?");
        const std::string support = standingText(MessageWindowId::Form7);
        EXPECT_EQ(support.substr(0, 46), std::string(44, ' ') + "\r\n");
        EXPECT_EQ(support.substr(support.size() - 10), "regress.\r\n");
    }

    TEST(Form1, LabelsByNumber)
    {
        Form1 form;
        form.label(17) = "0.8";
        EXPECT_EQ(form.Label17, "0.8");
        EXPECT_EQ(form.label(2), " ");
        EXPECT_THROW(form.label(9), std::out_of_range);
        EXPECT_THROW(form.label(23), std::out_of_range);
    }

} // namespace
} // namespace quantem::core
