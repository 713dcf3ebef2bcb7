#include "app/qt/CommandRunner.h"

#include "app/Commands.h"
#include "app/ModelSelection.h"
#include "app/StopQuestion.h"
#include "app/qt/MainWindow.h"
#include "app/qt/ProgressRepaint.h"
#include "support/Recording.h"
#include "support/RootHolder.h"
#include "support/TempRoot.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

namespace quantem::ui::test {
namespace {

    using namespace std::chrono_literals;

    // Holds the run at its first evaluation until the test lets it go, so the test can look at
    // the window while a run goes on without racing it.
    class Gate : public core::ProgressHook
    {
    public:
        void progress(const core::Form1&) override
        {
            std::unique_lock lock(m_mutex);
            ++m_calls;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return m_open; });
        }
        bool waitForFirstCall()
        {
            std::unique_lock lock(m_mutex);
            return m_changed.wait_for(lock, 20s, [this] { return m_calls > 0; });
        }
        void open()
        {
            const std::lock_guard lock(m_mutex);
            m_open = true;
            m_changed.notify_all();
        }
        /// Closed again, for the next run; only between runs.
        void reset()
        {
            const std::lock_guard lock(m_mutex);
            m_open = false;
            m_calls = 0;
        }
        int calls()
        {
            const std::lock_guard lock(m_mutex);
            return m_calls;
        }

    private:
        std::mutex m_mutex;
        std::condition_variable m_changed;
        int m_calls = 0;
        bool m_open = false;
    };

    // A main window whose session passes each evaluation through a gate.
    class RunInWindow : public ::testing::Test
    {
    protected:
        RunInWindow()
        {
            session.questions = &questions;
            session.progress = &gate;
            runner = std::make_unique<CommandRunner>(session);
            window = std::make_unique<MainWindow>(*runner);
            window->render();
            window->show();
            window->activateWindow();
            static_cast<void>(QTest::qWaitForWindowActive(window.get()));
            root.writeSamples("0.37,1.913\r\n1.21,2.478\r\n1.94,3.016\r\n2.66,3.391\r\n"
                              "3.05,3.722\r\n4.48,4.405\r\n5.13,4.809\r\n6.92,5.517\r\n");
            runner->run([this] { app::startUpReset(session); });
            runner->run([this] { app::selectModel(session, 7); });
            runner->run([this] { app::setSampleCountText(session, "8"); });
            session.form1.Text4 = "0.7";
        }
        ~RunInWindow() override
        {
            gate.open();
            runner->waitForRun();
        }

        template <typename Widget = QWidget> Widget* control(const char* name) const
        {
            return window->findChild<Widget*>(QString::fromLatin1(name));
        }
        std::string panel1() const { return control<QLabel>("Panel1")->text().toStdString(); }

        quantem::test::TempRoot root;
        core::Session session { root.path() };
        quantem::test::ScriptedQuestions questions;
        Gate gate;
        std::unique_ptr<CommandRunner> runner;
        std::unique_ptr<MainWindow> window;
    };

    TEST_F(RunInWindow, RegressionRunsOffTheWindowThreadAndRefusesOtherCommandsMeanwhile)
    {
        control<QAction>("HGJS")->trigger();
        ASSERT_TRUE(gate.waitForFirstCall());
        EXPECT_TRUE(runner->busy());
        EXPECT_FALSE(window->menuBar()->isEnabled());
        EXPECT_TRUE(control<QLineEdit>("Text2")->isReadOnly());
        EXPECT_TRUE(control<QPushButton>("Stop")->isEnabled());
        // Neither a short nor another long command reaches the session during the run.
        bool ran = false;
        EXPECT_FALSE(runner->run([&ran] { ran = true; }));
        EXPECT_FALSE(runner->runLong([&ran] { ran = true; }));
        EXPECT_FALSE(ran);

        gate.open();
        runner->waitForRun();
        EXPECT_FALSE(runner->busy());
        EXPECT_GT(gate.calls(), 1); // the search went on past the held evaluation
        EXPECT_NE(control<QLabel>("Label2")->text().trimmed(), QString());
        EXPECT_EQ(panel1(), "");
        EXPECT_TRUE(window->menuBar()->isEnabled());
        EXPECT_FALSE(control<QLineEdit>("Text2")->isReadOnly());
        EXPECT_FALSE(control<QPushButton>("Stop")->isEnabled());
        EXPECT_TRUE(runner->run([&ran] { ran = true; }));
        EXPECT_TRUE(ran);
    }

    TEST_F(RunInWindow, EscapeAndTheStopButtonEndTheRunWithNothingPublished)
    {
        for (const bool byKey : { true, false }) {
            gate.reset();
            control<QAction>("ks")->trigger();
            ASSERT_TRUE(gate.waitForFirstCall());
            if (byKey)
                QTest::keyClick(window.get(), Qt::Key_Escape);
            else
                control<QPushButton>("Stop")->click();
            gate.open();
            runner->waitForRun();
            EXPECT_EQ(gate.calls(), 1) << byKey; // no evaluation after the one that was held
            EXPECT_EQ(panel1(), core::kStoppedText) << byKey;
            // The run has ended: the state line no longer says to wait.
            EXPECT_EQ(control<QLabel>("Label10")->text().toStdString(), core::kStateCaption)
                << byKey;
            EXPECT_EQ(control<QLabel>("Label2")->text().trimmed(), QString()) << byKey;
            EXPECT_EQ(control<QLabel>("Label17")->text().trimmed(), QString()) << byKey;
            EXPECT_TRUE(session.messages.log().empty());
            EXPECT_FALSE(control<QPushButton>("Stop")->isEnabled());
            EXPECT_TRUE(window->menuBar()->isEnabled());
        }
    }

    TEST_F(RunInWindow, ClosingDuringARunAsksFirstAndClosesOnlyAfterTheStoppedRunEnds)
    {
        control<QAction>("HGJS")->trigger();
        ASSERT_TRUE(gate.waitForFirstCall());
        questions.answers = { core::Answer::No, core::Answer::Yes, core::Answer::Cancel };
        window->close(); // No: the run goes on and the window stays
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(runner->busy());
        window->close(); // Yes: stop, then close once the run has ended
        EXPECT_TRUE(window->isVisible());
        gate.open();
        runner->waitForRun();
        EXPECT_EQ(gate.calls(), 1);
        EXPECT_EQ(control<QLabel>("Label2")->text().trimmed(), QString());
        const std::string stopQuestion
            = std::string("ask ") + app::kStopPromptTitle + "|" + app::kStopPromptText;
        const std::string exitQuestion
            = std::string("ask ") + app::kExitPromptTitle + "|" + app::kExitPromptText;
        // The window then closes as always: through the exit prompt (Cancel here keeps it).
        EXPECT_EQ(questions.asked,
            (std::vector<std::string> { stopQuestion, stopQuestion, exitQuestion }));
        EXPECT_TRUE(window->isVisible());
    }

    // Whether another process could take the root's lock now (flock(1), as a program would).
    bool lockIsFree(const quantem::test::TempRoot& root)
    {
        const std::string command = "flock -n '" + root.sys("lock").string() + "' true";
        return std::system(command.c_str()) == 0;
    }

    TEST(RootOfTheDesktop, ACommandWaitsForAnotherProgramThenSaysWhoHoldsTheRoot)
    {
        quantem::test::TempRoot root;
        core::Session session(root.path());
        CommandRunner runner(session);
        bool ran = false;
        {
            const quantem::test::RootHolder other(root.path(), "quantem-fit");
            ASSERT_TRUE(other.held());
            EXPECT_FALSE(runner.run([&] { ran = true; }));
            EXPECT_FALSE(ran);
            EXPECT_EQ(session.form1.StatusBar1[0].rfind("The install root " + root.path().string()
                              + " is in use by quantem-fit (process ",
                          0),
                0u)
                << session.form1.StatusBar1[0];
        }

        // Its own commands hold the root while they run, a long one until it ends.
        EXPECT_TRUE(runner.run([&] { ran = !lockIsFree(root); }));
        EXPECT_TRUE(ran);
        std::atomic<bool> release { false };
        ASSERT_TRUE(runner.runLong([&] {
            while (!release)
                std::this_thread::sleep_for(1ms);
        }));
        EXPECT_FALSE(lockIsFree(root));
        release = true;
        runner.waitForRun();
        EXPECT_TRUE(lockIsFree(root));
    }

    TEST(ProgressRepaint, FromARunThreadPaintsTheNewestCopyOnTheWindowThreadOnly)
    {
        QObject context;
        ProgressRepaint hook(0, [] { return std::int64_t { 0 }; });
        std::vector<std::string> painted;
        std::vector<bool> onWindowThread;
        hook.setRepaint(
            [&](const core::Form1& form1) {
                painted.push_back(form1.StatusBar1[3]);
                onWindowThread.push_back(QThread::currentThread() == context.thread());
            },
            &context);
        core::Form1 form;
        std::thread run([&] {
            for (const char* step : { "3", "4", "5" }) {
                form.StatusBar1[3] = step;
                hook.progress(form);
            }
        });
        run.join();
        EXPECT_TRUE(painted.empty()); // nothing is painted from the run's thread
        QCoreApplication::sendPostedEvents(&context);
        EXPECT_EQ(painted, (std::vector<std::string> { "5" }));
        EXPECT_EQ(onWindowThread, (std::vector<bool> { true }));

        // A copy that arrives after the run's end is dropped, not painted over the outcome.
        std::thread late([&] { hook.progress(form); });
        late.join();
        hook.discardPending();
        QCoreApplication::sendPostedEvents(&context);
        EXPECT_EQ(painted.size(), 1u);
    }

} // namespace
} // namespace quantem::ui::test
