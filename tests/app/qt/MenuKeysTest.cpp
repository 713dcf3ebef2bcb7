#include "ViewFixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quantem::ui::test {
namespace {

    using core::MessageWindowId;

    // Where the keyboard's keys land: the open popup, else the widget with the focus.
    QWidget* keyTarget(QWidget& window)
    {
        if (QWidget* popup = QApplication::activePopupWidget())
            return popup;
        if (QWidget* focus = QApplication::focusWidget())
            return focus;
        return &window;
    }

    void press(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(keyTarget(window), key, modifiers);
        QCoreApplication::processEvents();
    }

    // The highlighted menu-bar entry by the name of its menu, or its own for a command.
    std::string activeEntry(const QMenuBar& bar)
    {
        const QAction* entry = bar.activeAction();
        if (entry == nullptr)
            return "-";
        return (entry->menu() != nullptr ? entry->menu()->objectName() : entry->objectName())
            .toStdString();
    }

    using MenuKeys = ViewFixture;

    TEST_F(MenuKeys, AltLettersOpenTheMenusAndTheArrowsWalkTheWholeBar)
    {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QMenuBar& bar = *window->menuBar();

        press(*window, Qt::Key_D, Qt::AltModifier);
        ASSERT_TRUE(control<QMenu>("wenjian")->isVisible());

        // Right from Data passes the entries without a menu and wraps round to Data.
        std::vector<std::string> walked;
        for (int i = 0; i < 10; ++i) {
            press(*window, Qt::Key_Right);
            walked.push_back(activeEntry(bar));
        }
        const std::vector<std::string> everyEntry { "xxhg", "lxhg", "tshg", "SYS1", "HT",
            "ModelCount", "BG", "FitDetails", "BZ", "wenjian" };
        EXPECT_EQ(walked, everyEntry);
        EXPECT_TRUE(control<QMenu>("wenjian")->isVisible());

        // Left back onto a command entry; Enter runs it and ends the walk.
        int detailsOpened = 0;
        window->setDetailsOpener([&detailsOpened] { ++detailsOpened; });
        press(*window, Qt::Key_Left);
        press(*window, Qt::Key_Left);
        EXPECT_EQ(activeEntry(bar), "FitDetails");
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        press(*window, Qt::Key_Return);
        EXPECT_EQ(detailsOpened, 1);
        EXPECT_EQ(activeEntry(bar), "-");

        // Alt and the letter of a command entry runs it; a disabled bar (a run) takes no letter.
        press(*window, Qt::Key_F, Qt::AltModifier);
        EXPECT_EQ(detailsOpened, 2);
        bar.setEnabled(false);
        press(*window, Qt::Key_F, Qt::AltModifier);
        EXPECT_EQ(detailsOpened, 2);
    }

    TEST_F(MenuKeys, EnterAnswersYesAndEscCancelsAMessageWindow)
    {
        session.form1.Text5 = "a report waiting";
        trigger("srsj");
        MessageWindowView& form10 = messages.view(MessageWindowId::Form10);
        ASSERT_TRUE(form10.isVisible());
        QSignalSpy cancelled(
            form10.findChild<QPushButton*>(QStringLiteral("Command3")), &QPushButton::clicked);
        QTest::keyClick(&form10, Qt::Key_Escape);
        EXPECT_EQ(cancelled.count(), 1);
        EXPECT_FALSE(form10.isVisible());
        EXPECT_TRUE(shell.calls.empty());

        // Enter saves the report and goes on to the data program, as "Yes" does.
        trigger("srsj");
        ASSERT_TRUE(form10.isVisible());
        QTest::keyClick(&form10, Qt::Key_Return);
        EXPECT_FALSE(form10.isVisible());
        EXPECT_FALSE(shell.calls.empty());

        // A window with no cancelling answer: Enter is "Yes".
        trigger("bbxx");
        MessageWindowView& form8 = messages.view(MessageWindowId::Form8);
        ASSERT_TRUE(form8.isVisible());
        QSignalSpy answered(
            form8.findChild<QPushButton*>(QStringLiteral("cmdOK")), &QPushButton::clicked);
        QTest::keyClick(&form8, Qt::Key_Enter);
        EXPECT_EQ(answered.count(), 1);
        EXPECT_FALSE(form8.isVisible());
    }

} // namespace
} // namespace quantem::ui::test
