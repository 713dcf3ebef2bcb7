#include "ViewFixture.h"

#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace quantem::ui::test {
namespace {

    using core::MessageWindowId;

    std::string buttonCaption(const QWidget& view, const char* name)
    {
        const auto* button = view.findChild<QPushButton*>(QString::fromLatin1(name));
        return button != nullptr ? button->text().toStdString() : "<missing>";
    }

    void click(QWidget& view, const char* name)
    {
        auto* button = view.findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
    }

    void clickLabel(QWidget& view, const char* name)
    {
        auto* label = view.findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(label, nullptr) << name;
        const QPointF inside(2, 2);
        QMouseEvent press(QEvent::MouseButtonPress, inside, label->mapToGlobal(inside),
            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, inside, label->mapToGlobal(inside),
            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(label, &press);
        QApplication::sendEvent(label, &release);
    }

    using MessageWindowViewsTest = ViewFixture;

    TEST_F(MessageWindowViewsTest, CaptionsAndButtonsOfEveryWindow)
    {
        struct Expected
        {
            MessageWindowId id;
            const char* caption;
            std::vector<std::pair<const char*, const char*>> buttons;
        };
        const std::vector<Expected> windows {
            { MessageWindowId::Form5, "Help", { { "Command1", "Yes" }, { "Command2", "Help" } } },
            { MessageWindowId::Form6, "Help", { { "Command1", "Yes" }, { "Command2", "Help" } } },
            { MessageWindowId::Form9, " Help", { { "Command1", "Yes" }, { "Command2", "Help" } } },
            { MessageWindowId::Form10, "System hint",
                { { "Command1", "Yes" }, { "Command2", "No" }, { "Command3", "Cancel " } } },
            { MessageWindowId::Form7, "Support",
                { { "Command1", "Yes" }, { "Command2", "Web" }, { "Command3", "E-Mail" } } },
            { MessageWindowId::Form8, " Quantem", { { "cmdOK", "Yes" }, { "Command1", "Help" } } },
        };
        for (const Expected& expected : windows) {
            const MessageWindowView& view = messages.view(expected.id);
            EXPECT_EQ(view.objectName().toStdString(), core::messageWindowName(expected.id));
            EXPECT_EQ(view.windowTitle().toStdString(), expected.caption);
            EXPECT_FALSE(view.isVisible()) << "shown before any command";
            EXPECT_FALSE(view.isModal());
            for (const auto& [name, caption] : expected.buttons)
                EXPECT_EQ(buttonCaption(view, name), caption)
                    << core::messageWindowName(expected.id) << " " << name;
        }
    }

    TEST_F(MessageWindowViewsTest, ShownStateIsRenderedAndYesHidesTheWindow)
    {
        session.messages.show(MessageWindowId::Form5, std::string("Have no data !"));
        runner.refresh();
        MessageWindowView& form5 = messages.view(MessageWindowId::Form5);
        ASSERT_TRUE(form5.isVisible());
        EXPECT_EQ(form5.findChild<QLabel*>(QStringLiteral("Label1"))->text().toStdString(),
            "Have no data !");

        click(form5, "Command1");
        EXPECT_FALSE(form5.isVisible());
        EXPECT_FALSE(session.messages[MessageWindowId::Form5].visible);

        // The next showing without a text brings the standing text back.
        session.messages.show(MessageWindowId::Form5);
        runner.refresh();
        EXPECT_TRUE(form5.isVisible());
        EXPECT_EQ(form5.findChild<QLabel*>(QStringLiteral("Label1"))->text().toStdString(),
            "   Input error !");
    }

    TEST_F(MessageWindowViewsTest, TheCloseBoxUnloadsTheWindow)
    {
        trigger("bbxx");
        MessageWindowView& form8 = messages.view(MessageWindowId::Form8);
        ASSERT_TRUE(form8.isVisible());
        form8.close();
        EXPECT_FALSE(form8.isVisible());
        EXPECT_FALSE(session.messages[MessageWindowId::Form8].loaded);
    }

    TEST_F(MessageWindowViewsTest, SavePromptCancelStartsNothingAndHelpOpensTheHelpPage)
    {
        session.form1.Text5 = "a report waiting";
        trigger("srsj");
        MessageWindowView& form10 = messages.view(MessageWindowId::Form10);
        ASSERT_TRUE(form10.isVisible());
        EXPECT_EQ(form10.findChild<QLabel*>(QStringLiteral("Label2"))->text().toStdString(),
            "Has not been saved yet.save it now ?");
        click(form10, "Command3");
        EXPECT_FALSE(form10.isVisible());
        EXPECT_TRUE(shell.calls.empty());

        session.messages.show(MessageWindowId::Form6);
        runner.refresh();
        click(messages.view(MessageWindowId::Form6), "Command2");
        EXPECT_FALSE(messages.view(MessageWindowId::Form6).isVisible());
        ASSERT_EQ(shell.calls.size(), 1u);
        EXPECT_EQ(shell.calls[0], "page " + session.addresses.help);
    }

    TEST_F(MessageWindowViewsTest, SupportWindowShowsItsTextAndReachesWebAndEmail)
    {
        trigger("hdzc");
        MessageWindowView& form7 = messages.view(MessageWindowId::Form7);
        ASSERT_TRUE(form7.isVisible());
        const auto* text = form7.findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
        ASSERT_NE(text, nullptr);
        EXPECT_TRUE(text->isReadOnly());
        const QStringList lines = text->toPlainText().split(QLatin1Char('\n'));
        ASSERT_GE(lines.size(), 9);
        EXPECT_EQ(lines[0], QString(44, QLatin1Char(' ')));
        EXPECT_EQ(lines[1].toStdString(), "1. Reply the knowledge problems and using ");
        EXPECT_EQ(lines[8].toStdString(), "regress.");

        click(form7, "Command2");
        click(form7, "Command3");
        EXPECT_TRUE(form7.isVisible()) << "Web and E-Mail leave the window open";
        ASSERT_EQ(shell.calls.size(), 2u);
        EXPECT_EQ(shell.calls[0], "page " + session.addresses.home);
        EXPECT_EQ(shell.calls[1], "email " + session.addresses.email);
    }

    TEST_F(MessageWindowViewsTest, InformationWindowLabelsAreClickable)
    {
        trigger("bbxx");
        MessageWindowView& form8 = messages.view(MessageWindowId::Form8);
        const auto* web = form8.findChild<QLabel*>(QStringLiteral("Label10"));
        const auto* email = form8.findChild<QLabel*>(QStringLiteral("Label9"));
        ASSERT_NE(web, nullptr);
        ASSERT_NE(email, nullptr);
        EXPECT_EQ(web->text(),
            QStringLiteral("Web\uFF1A") + QString::fromStdString(session.addresses.home));
        EXPECT_EQ(email->text(),
            QStringLiteral("Email\uFF1A") + QString::fromStdString(session.addresses.email));

        clickLabel(form8, "Label10");
        clickLabel(form8, "Label9");
        ASSERT_EQ(shell.calls.size(), 2u);
        EXPECT_EQ(shell.calls[0], "page " + session.addresses.home);
        EXPECT_EQ(shell.calls[1], "email " + session.addresses.email);

        click(form8, "cmdOK");
        EXPECT_FALSE(form8.isVisible());
    }

} // namespace
} // namespace quantem::ui::test
