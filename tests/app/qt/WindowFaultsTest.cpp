#include "app/qt/CommandRunner.h"
#include "app/qt/MainWindow.h"
#include "app/qt/MessageWindowViews.h"
#include "core/Session.h"
#include "support/FailingFileOperations.h"
#include "support/Recording.h"
#include "support/TempRoot.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>

namespace quantem::ui::test {
namespace {

    using core::MessageWindowId;
    using quantem::test::FailingFileOperations;
    using Call = FailingFileOperations::Call;

    // The planets' distances and years: a fit that every model of the tests can take.
    constexpr const char* kPlanets
        = "0.387,0.241\r\n0.723,0.615\r\n1,1\r\n1.524,1.881\r\n5.203,11.862\r\n"
          "9.537,29.457\r\n19.191,84.011\r\n30.069,164.79\r\n";

    /// The main window and its message windows over an install root whose file operations fail
    /// where a test says.
    class WindowFaults : public ::testing::Test
    {
    protected:
        WindowFaults()
        {
            session.shell = &shell;
            session.questions = &questions;
            window = std::make_unique<MainWindow>(runner);
            window->render();
            window->show();
            messages.setAnchor(window.get());
            root.writeSamples(kPlanets);
        }

        template <typename Widget> Widget* control(const char* name) const
        {
            auto* widget = window->findChild<Widget*>(QString::fromLatin1(name));
            EXPECT_NE(widget, nullptr) << "no control " << name;
            return widget;
        }

        void trigger(const char* actionName)
        {
            QAction* action = control<QAction>(actionName);
            ASSERT_NE(action, nullptr);
            action->trigger();
            runner.waitForRun();
        }

        void type(const char* name, const char* text)
        {
            QLineEdit* edit = control<QLineEdit>(name);
            ASSERT_NE(edit, nullptr);
            edit->clear();
            QTest::keyClicks(edit, QString::fromLatin1(text));
        }

        void press(MessageWindowId id, const char* button)
        {
            auto* push = messages.view(id).findChild<QPushButton*>(QString::fromLatin1(button));
            ASSERT_NE(push, nullptr) << button;
            push->click();
        }

        // Panel 1 as the window shows it, checked against the state it renders.
        std::string panel1() const
        {
            const QLabel* panel = control<QLabel>("Panel1");
            const std::string shown = panel != nullptr ? panel->text().toStdString() : "<missing>";
            EXPECT_EQ(shown, session.form1.StatusBar1[0]);
            return shown;
        }

        std::map<std::string, std::string> scratchFiles() const
        {
            std::map<std::string, std::string> files;
            for (const auto& entry : std::filesystem::directory_iterator(root.path() / "sys"))
                files[entry.path().filename().string()]
                    = root.readSys(entry.path().filename().string());
            return files;
        }

        std::string cannotWrite(const char* name, int error) const
        {
            return "Cannot write " + root.sys(name).string() + ": " + std::strerror(error);
        }

        quantem::test::TempRoot root;
        FailingFileOperations operations;
        core::Session session { core::ScratchStore(
            root.path(), std::make_shared<core::FileStoreBackend>(root.path(), operations)) };
        quantem::test::RecordingShell shell;
        quantem::test::ScriptedQuestions questions;
        CommandRunner runner { session };
        MessageWindowViews messages { runner };
        std::unique_ptr<MainWindow> window;
    };

    TEST_F(WindowFaults, AWriteFailureOfARegressionStaysInPanel1WhileItsWindowIsAnswered)
    {
        trigger("tshg11");
        type("Text2", "8");
        const std::string cause = cannotWrite("mm.sys", ENOSPC);
        // Each way of answering the input error: Yes, Help, and closing the window.
        for (const char* answer : { "Command1", "Command2", "close" }) {
            SCOPED_TRACE(answer);
            operations.failAtFile(Call::Write, "mm.sys", 1, ENOSPC);
            trigger("HGJS");
            ASSERT_TRUE(messages.view(MessageWindowId::Form5).isVisible());
            EXPECT_EQ(panel1(), cause);
            if (std::string(answer) == "close")
                messages.view(MessageWindowId::Form5).close();
            else
                press(MessageWindowId::Form5, answer);
            EXPECT_FALSE(messages.view(MessageWindowId::Form5).isVisible());
            EXPECT_EQ(panel1(), cause);
        }
        EXPECT_EQ(shell.calls, (std::vector<std::string> { "page " + session.addresses.help }));

        // The user's next menu command starts without it, and the regression runs again.
        trigger("tshg11");
        EXPECT_EQ(panel1().find("Cannot write"), std::string::npos);
        type("Text2", "8");
        trigger("HGJS");
        EXPECT_EQ(control<QLabel>("Label11")->text().toStdString(), "1.5");
    }

    TEST_F(WindowFaults, ARegressionOfAModelThatXxSysDoesNotNameIsRefusedWithNothingWritten)
    {
        trigger("tshg11");
        type("Text2", "8");
        trigger("HGJS");
        ASSERT_EQ(control<QLabel>("Label11")->text().toStdString(), "1.5");

        // Model 52 is chosen, but its xx.sys cannot be stored: model 7 stays named there.
        operations.failAtFile(Call::Rename, "xx.sys", 1, EROFS);
        trigger("dxhg");
        EXPECT_EQ(session.form1.checkedModel, 52);
        EXPECT_EQ(panel1(), cannotWrite("xx.sys", EROFS));
        ASSERT_EQ(root.readSys("xx.sys"), "1,1,1,7\r\n");
        type("Text2", "8");
        type("Text4", "2");

        const std::map<std::string, std::string> filesBefore = scratchFiles();
        const core::Form1 before = session.form1;
        const std::size_t showings = session.messages.log().size();
        trigger("HGJS");
        const std::string reason = "The window shows model 52 but the scratch file xx.sys names "
                                   "model 7, so the regression would fit another model: choose "
                                   "the model again.";
        ASSERT_EQ(session.messages.log().size(), showings + 1);
        EXPECT_EQ(session.messages.log().back().window, MessageWindowId::Form6);
        EXPECT_EQ(session.messages.log().back().text, "Model choice mistake !");
        EXPECT_EQ(session.messages.log().back().reason, reason);
        EXPECT_TRUE(messages.view(MessageWindowId::Form6).isVisible());
        EXPECT_EQ(panel1(), reason);
        // Nothing else: no file, no label, no report, no state line.
        EXPECT_EQ(scratchFiles(), filesBefore);
        for (int number : { 2, 3, 4, 8, 11, 12, 17, 18, 22 })
            EXPECT_EQ(session.form1.label(number), before.label(number)) << number;
        EXPECT_EQ(session.form1.Label10, before.Label10);
        EXPECT_EQ(session.form1.Text3, before.Text3);
        EXPECT_EQ(session.form1.Text5, before.Text5);
        EXPECT_EQ(session.form1.publishedFits, before.publishedFits);

        // Chosen again, model 52 is stored and fitted.
        press(MessageWindowId::Form6, "Command1");
        trigger("dxhg");
        EXPECT_EQ(root.readSys("xx.sys"), "0,,0,52\r\n");
        type("Text2", "8");
        type("Text4", "2");
        trigger("HGJS");
        EXPECT_EQ(session.form1.publishedFits, before.publishedFits + 1);
        EXPECT_EQ(panel1().find("xx.sys"), std::string::npos);
    }

    TEST_F(WindowFaults, AStaleXxSysIsRefusedWhicheverModelsDiffer)
    {
        struct Case
        {
            const char* menuItem; // nullptr: no model chosen
            const char* stored;
            const char* reason;
        };
        const Case cases[] = {
            { nullptr, "1,1,1,7\r\n",
                "The window shows no model but the scratch file xx.sys names model 7" },
            { "tshg11", "0,,0,51\r\n",
                "The window shows model 7 but the scratch file xx.sys names model 51" },
            { "dyhg", "1,1,1,7\r\n",
                "The window shows model 51 but the scratch file xx.sys names model 7" },
            { "tshg16", "1,2,1,12.4\r\n", nullptr }, // the regression's own reading: 12
            { "tshg11", "0,0,0,0\r\n",
                "The window shows model 7 but the scratch file xx.sys names no model" },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.stored);
            if (c.menuItem != nullptr)
                trigger(c.menuItem);
            type("Text2", "8");
            if (c.menuItem != nullptr && std::string(c.menuItem) == "dyhg")
                type("Text4", "1");
            root.writeFile("sys/xx.sys", c.stored);
            const std::map<std::string, std::string> filesBefore = scratchFiles();
            const int published = session.form1.publishedFits;
            trigger("HGJS");
            if (c.reason == nullptr) {
                EXPECT_EQ(session.form1.publishedFits, published + 1);
                continue;
            }
            EXPECT_EQ(panel1().rfind(c.reason, 0), 0U) << panel1();
            EXPECT_TRUE(messages.view(MessageWindowId::Form6).isVisible());
            EXPECT_EQ(scratchFiles(), filesBefore);
            EXPECT_EQ(session.form1.publishedFits, published);
            press(MessageWindowId::Form6, "Command1");
        }
    }

} // namespace
} // namespace quantem::ui::test
