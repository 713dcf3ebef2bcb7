#include "app/qt/SplashWindow.h"

#include "app/qt/CommandRunner.h"
#include "core/Session.h"
#include "support/Recording.h"
#include "support/TempRoot.h"

#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

namespace quantem::ui::test {
namespace {

    class SplashTest : public ::testing::Test
    {
    protected:
        SplashTest()
            : session(root.path())
            , runner(session)
        {
            session.shell = &shell;
        }

        void click(const char* name)
        {
            auto* button = splash.findChild<QPushButton*>(QString::fromLatin1(name));
            ASSERT_NE(button, nullptr) << name;
            button->click();
        }

        void removeResetFiles() const
        {
            for (const char* name : { "da.sys", "mb.sys", "bmb.sys", "xx.sys", "JC.sys" })
                std::filesystem::remove(root.sys(name));
        }

        void expectResetFiles() const
        {
            EXPECT_EQ(root.readSys("da.sys"), "2\r\n");
            EXPECT_EQ(root.readSys("mb.sys"), "0,0\r\n");
            EXPECT_EQ(root.readSys("bmb.sys"), "0\r\n");
            EXPECT_EQ(root.readSys("xx.sys"), "0,0,0,0\r\n");
            EXPECT_EQ(root.readSys("JC.sys"), "98500000000000\r\n");
        }

        static void waitMs(int milliseconds)
        {
            QEventLoop loop;
            QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
            loop.exec();
        }

        quantem::test::TempRoot root;
        core::Session session;
        quantem::test::RecordingShell shell;
        CommandRunner runner;
        int mainWindowsOpened = 0;
        SplashWindow splash { runner, [this] { ++mainWindowsOpened; } };
    };

    TEST_F(SplashTest, ButtonsAndTimerAsTheWindowStarts)
    {
        EXPECT_EQ(splash.objectName().toStdString(), "frmSplash");
        const auto* timer = splash.findChild<QTimer*>(QStringLiteral("Timer1"));
        ASSERT_NE(timer, nullptr);
        EXPECT_TRUE(timer->isActive());
        EXPECT_EQ(timer->interval(), 3000);
        for (const auto& [name, caption] : { std::pair { "Command1", "Continue " },
                 std::pair { "Command2", "Exit " }, std::pair { "Command3", "Help" } }) {
            const auto* button = splash.findChild<QPushButton*>(QString::fromLatin1(name));
            ASSERT_NE(button, nullptr) << name;
            EXPECT_EQ(button->text().toStdString(), caption);
        }
        // Nothing is reset before the user or the timer moves on.
        EXPECT_EQ(root.readSys("xx.sys"), "<missing>");
        EXPECT_EQ(mainWindowsOpened, 0);
    }

    TEST_F(SplashTest, ContinueResetsOnceAndTheTimerDoesNotFireAgain)
    {
        splash.show();
        click("Command1");
        expectResetFiles();
        EXPECT_EQ(mainWindowsOpened, 1);
        EXPECT_FALSE(splash.isVisible());

        removeResetFiles();
        waitMs(SplashWindow::kWaitMs + 400);
        EXPECT_EQ(root.readSys("xx.sys"), "<missing>");
        EXPECT_EQ(root.readSys("JC.sys"), "<missing>");
        EXPECT_EQ(mainWindowsOpened, 1);
    }

    TEST_F(SplashTest, WithoutContinueTheTimerResetsOnceAndOpensTheMainWindow)
    {
        splash.show();
        waitMs(SplashWindow::kWaitMs + 400);
        expectResetFiles();
        EXPECT_EQ(mainWindowsOpened, 1);
        EXPECT_FALSE(splash.isVisible());
    }

    TEST_F(SplashTest, HelpOpensTheHelpPageAndKeepsWaiting)
    {
        click("Command3");
        ASSERT_EQ(shell.calls.size(), 1u);
        EXPECT_EQ(shell.calls[0], "page " + session.addresses.help);
        EXPECT_EQ(mainWindowsOpened, 0);
        EXPECT_EQ(root.readSys("da.sys"), "<missing>");
    }

} // namespace
} // namespace quantem::ui::test
