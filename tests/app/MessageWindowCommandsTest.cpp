#include "app/MessageWindowCommands.h"

#include "app/Commands.h"
#include "support/SessionFixture.h"

#include <gtest/gtest.h>

namespace quantem::app {
namespace {

    using core::MessageWindowId;

    using MessageWindowCommandsTest = test::SessionFixture;

    TEST_F(MessageWindowCommandsTest, ClosedErrorWindowShowsTheStandingTextAgain)
    {
        session.messages.show(MessageWindowId::Form5, std::string("Have no data !"));
        pressMessageButton(session, MessageWindowId::Form5, MessageButton::Yes);
        EXPECT_FALSE(session.messages[MessageWindowId::Form5].visible);
        session.messages.show(MessageWindowId::Form5);
        EXPECT_EQ(session.messages[MessageWindowId::Form5].text, "   Input error !");
    }

    TEST_F(MessageWindowCommandsTest, HelpOpensTheHelpPageAndCloses)
    {
        session.messages.show(MessageWindowId::Form6);
        pressMessageButton(session, MessageWindowId::Form6, MessageButton::Help);
        EXPECT_EQ(shell.calls.back(), "page " + session.addresses.help);
        EXPECT_FALSE(session.messages[MessageWindowId::Form6].loaded);
    }

    TEST_F(MessageWindowCommandsTest, AxisChoiceYesSetsTheChartsYCaptionBeforeClosing)
    {
        root.writeFile("sys/xx.sys", "2,2,2,16\r\n"); // three numbers a group: y is the third
        session.messages.show(MessageWindowId::Form9);
        pressMessageButton(session, MessageWindowId::Form9, MessageButton::Yes);
        EXPECT_FALSE(session.messages[MessageWindowId::Form9].loaded);
        EXPECT_EQ(session.form2.Label5, "Third imensional data is Y");
        EXPECT_TRUE(session.form2.Option1Visible);
        EXPECT_TRUE(session.form2.Option2Visible);
        EXPECT_FALSE(session.form2.Option3Visible);
    }

    TEST_F(MessageWindowCommandsTest, SavePromptCancelStartsNothingAndWritesNothing)
    {
        session.form1.Text5 = "report";
        session.messages.show(MessageWindowId::Form10);
        pressMessageButton(session, MessageWindowId::Form10, MessageButton::Cancel);
        EXPECT_TRUE(shell.calls.empty());
        EXPECT_TRUE(std::filesystem::is_empty(root.path() / "sys"));
        EXPECT_EQ(session.form1.Text5, "report");
        EXPECT_FALSE(session.messages[MessageWindowId::Form10].visible);
    }

    TEST_F(MessageWindowCommandsTest, SavePromptNoClearsAndStartsTheDataProgram)
    {
        session.form1.Text5 = "report";
        session.messages.show(MessageWindowId::Form10);
        pressMessageButton(session, MessageWindowId::Form10, MessageButton::No);
        EXPECT_EQ(session.form1.Text5, "");
        EXPECT_EQ(root.readSys("jb.sys"), "1\r\n");
        ASSERT_EQ(shell.calls.size(), 1u);
        EXPECT_EQ(shell.calls[0], "start " + (root.path() / "DATA").string());
    }

    TEST_F(MessageWindowCommandsTest, SavePromptYesOffersTheSaveDialogFirst)
    {
        root.writeSamples("1,2\r\n2,3\r\n");
        root.writeFile("sys/xs.sys", "51,0.8,3.5,0.9\r\n");
        questions.fileNames = { root.path() / "saved.TXT" };
        session.form1.Text5 = "report";
        session.messages.show(MessageWindowId::Form10);
        pressMessageButton(session, MessageWindowId::Form10, MessageButton::Yes);
        ASSERT_FALSE(questions.asked.empty());
        EXPECT_EQ(questions.asked[0].rfind("save Text files (*.TXT)|*.TXT", 0), 0u);
        EXPECT_NE(root.read("saved.TXT").find("report\r\n"), std::string::npos);
        EXPECT_EQ(session.form1.Text5, "");
        EXPECT_EQ(shell.calls.back(), "start " + (root.path() / "DATA").string());
    }

    TEST_F(MessageWindowCommandsTest, SupportAndInformationWindowsReachTheShell)
    {
        pressMessageButton(session, MessageWindowId::Form7, MessageButton::Web);
        pressMessageButton(session, MessageWindowId::Form7, MessageButton::Email);
        clickWebLabel(session);
        clickEmailLabel(session);
        ASSERT_EQ(shell.calls.size(), 4u);
        EXPECT_EQ(shell.calls[0], "page " + session.addresses.home);
        EXPECT_EQ(shell.calls[1], "email " + session.addresses.email);
        EXPECT_EQ(shell.calls[2], "page " + session.addresses.home);
        EXPECT_EQ(shell.calls[3], "email " + session.addresses.email);
    }

} // namespace
} // namespace quantem::app
