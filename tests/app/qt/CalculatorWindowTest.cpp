#include "app/qt/CalculatorWindow.h"

#include "ViewFixture.h"
#include "app/Commands.h"
#include "core/NumberText.h"
#include "support/Expect.h"

#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <string>

namespace quantem::ui::test {
namespace {

    // The calculator as the program composes it: opened by the main window's ModelCount.
    class CalculatorWindowTest : public ViewFixture
    {
    protected:
        CalculatorWindowTest()
            : calculator(runner)
        {
            window->setCalculatorOpener([this] { app::openCalculator(session); });
            calculator.setAnchor(window.get());
        }

        template <typename Widget = QWidget> Widget* part(const char* name) const
        {
            auto* widget = calculator.findChild<Widget*>(QString::fromLatin1(name));
            EXPECT_NE(widget, nullptr) << "no control " << name;
            return widget;
        }

        std::string text(const char* name) const
        {
            if (auto* edit = calculator.findChild<QLineEdit*>(QString::fromLatin1(name)))
                return edit->text().toStdString();
            if (auto* label = calculator.findChild<QLabel*>(QString::fromLatin1(name)))
                return label->text().toStdString();
            if (auto* button = calculator.findChild<QPushButton*>(QString::fromLatin1(name)))
                return button->text().toStdString();
            return "<missing>";
        }

        void type(QWidget* into, const char* name, const char* typed) const
        {
            auto* edit = into->findChild<QLineEdit*>(QString::fromLatin1(name));
            ASSERT_NE(edit, nullptr) << name;
            edit->clear();
            QTest::keyClicks(edit, QString::fromLatin1(typed));
        }

        void click(const char* name) const
        {
            auto* button = part<QPushButton>(name);
            ASSERT_NE(button, nullptr);
            button->click();
        }

        CalculatorWindow calculator;
    };

    TEST_F(CalculatorWindowTest, ControlsCarryTheirNamesAndCaptions)
    {
        EXPECT_EQ(calculator.objectName().toStdString(), "Form11");
        EXPECT_EQ(calculator.windowTitle().toStdString(), " Calculate using the model");
        EXPECT_FALSE(calculator.isModal());
        EXPECT_EQ(text("Label1"), "   Input the first dimension:   ");
        EXPECT_EQ(text("Label2"), "Input the secondly dimension:  ");
        EXPECT_EQ(text("Label3"), "   Input the third dimension:  ");
        EXPECT_EQ(text("Label5"), "Model results");
        EXPECT_EQ(text("Command1"), "Calculate");
        EXPECT_EQ(text("Command2"), "Clear");
        EXPECT_EQ(text("Command3"), "Help");
        EXPECT_EQ(text("Command4"), "Close");
        for (const char* name : { "Text1", "Text2", "Text3", "Text4" })
            EXPECT_EQ(text(name), "") << name;
        EXPECT_NE(part<QStatusBar>("StatusBar1"), nullptr);
        EXPECT_NE(part<QLabel>("Panel2"), nullptr);

        // No result on the main window yet: ModelCount asks for a regression instead.
        trigger("ModelCount");
        EXPECT_FALSE(calculator.isVisible());
        EXPECT_EQ(messages.view(core::MessageWindowId::Form5)
                      .findChild<QLabel*>(QStringLiteral("Label1"))
                      ->text()
                      .toStdString(),
            "   Do regression !");
    }

    TEST_F(CalculatorWindowTest, EvaluatesTheFittedPlanetsModelAndClosesAfresh)
    {
        root.writeSamples("0.387,0.241\r\n0.723,0.615\r\n1,1\r\n1.524,1.881\r\n5.203,11.862\r\n"
                          "9.537,29.457\r\n19.191,84.011\r\n30.069,164.79\r\n");
        trigger("tshg11");
        type(window.get(), "Text2", "8");
        trigger("HGJS");
        ASSERT_EQ(labelText("Label11"), "1.5");

        trigger("ModelCount");
        ASSERT_TRUE(calculator.isVisible());
        EXPECT_TRUE(part<QLineEdit>("Text1")->isEnabled());
        EXPECT_FALSE(part<QLineEdit>("Text2")->isEnabled());
        EXPECT_FALSE(part<QLineEdit>("Text3")->isEnabled());
        EXPECT_TRUE(part<QLineEdit>("Text4")->isReadOnly());

        type(&calculator, "Text1", "5.203");
        EXPECT_EQ(text("Panel2"), "Input the first dimension.");
        EXPECT_EQ(text("Text4"), "") << "typing computes nothing";
        click("Command1");
        EXPECT_EQ(text("Panel2"), "Calculate");
        // Jupiter's period in years from its distance.
        EXPECT_NEAR_REL(std::stod(text("Text4")), 11.862, 2E-3);

        // Enter in an input box calculates as well. At x1 = 1 the power is 1, so y is a0 + a1 as
        // the main window shows them.
        type(&calculator, "Text1", "1");
        QTest::keyClick(part<QLineEdit>("Text1"), Qt::Key_Return);
        EXPECT_EQ(text("Text4"),
            core::doubleText(std::stod(labelText("Label2")) + std::stod(labelText("Label3"))));

        // A negative base under the fitted power 1.5 is an invalid argument: the input error.
        type(&calculator, "Text1", "-2");
        const std::string before = text("Text4");
        click("Command1");
        EXPECT_EQ(text("Text4"), before);
        EXPECT_TRUE(messages.view(core::MessageWindowId::Form5).isVisible());

        click("Command2");
        EXPECT_EQ(text("Text1") + text("Text4"), "");
        EXPECT_EQ(text("Panel2"), "Input the first dimension.");

        type(&calculator, "Text1", "2");
        calculator.close();
        EXPECT_FALSE(calculator.isVisible());
        EXPECT_FALSE(session.form11.loaded);
        trigger("ModelCount");
        ASSERT_TRUE(calculator.isVisible());
        EXPECT_EQ(text("Text1"), "") << "a closed calculator opens afresh";

        click("Command4");
        EXPECT_FALSE(calculator.isVisible());
    }

} // namespace
} // namespace quantem::ui::test
