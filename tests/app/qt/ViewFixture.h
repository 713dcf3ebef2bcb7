#pragma once

#include "app/qt/CommandRunner.h"
#include "app/qt/MainWindow.h"
#include "app/qt/MessageWindowViews.h"
#include "core/Session.h"
#include "support/Recording.h"
#include "support/TempRoot.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace quantem::ui::test {

/// A session on a fresh root with recording ports, the message-window views and the main window.
class ViewFixture : public ::testing::Test
{
protected:
    ViewFixture()
        : session(root.path())
        , runner(session)
        , messages(runner)
    {
        session.shell = &shell;
        session.questions = &questions;
        window = std::make_unique<MainWindow>(runner);
        window->render();
        window->show();
        messages.setAnchor(window.get());
    }

    template <typename Widget = QWidget> Widget* control(const char* name) const
    {
        auto* widget = window->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << "no control " << name;
        return widget;
    }

    std::string labelText(const char* name) const
    {
        const QLabel* label = control<QLabel>(name);
        return label != nullptr ? label->text().toStdString() : "<missing>";
    }

    std::string editText(const char* name) const
    {
        const QLineEdit* edit = control<QLineEdit>(name);
        return edit != nullptr ? edit->text().toStdString() : "<missing>";
    }

    void trigger(const char* actionName)
    {
        QAction* action = control<QAction>(actionName);
        ASSERT_NE(action, nullptr);
        action->trigger();
        runner.waitForRun(); // a long command runs on its own thread: let it end
    }

    quantem::test::TempRoot root;
    core::Session session;
    quantem::test::RecordingShell shell;
    quantem::test::ScriptedQuestions questions;
    CommandRunner runner;
    MessageWindowViews messages;
    std::unique_ptr<MainWindow> window;
};

} // namespace quantem::ui::test
