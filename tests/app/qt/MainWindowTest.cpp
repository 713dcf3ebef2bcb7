#include "ViewFixture.h"
#include "app/Commands.h"
#include "support/Recording.h"
#include "support/TestData.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace quantem::ui::test {
namespace {

    std::string quoted(const QString& text) { return "\"" + text.toStdString() + "\""; }

    // One line per menu entry and toolbar button: kind, object name, caption (and tip).
    std::string menuDump(const QMainWindow& window)
    {
        std::ostringstream out;
        const auto dumpAction = [&out](const QAction* action, const char* indent) {
            if (action->isSeparator()) {
                const QString name = action->objectName();
                out << indent << "separator " << (name.isEmpty() ? "-" : name.toStdString())
                    << "\n";
            } else {
                out << indent << "item " << action->objectName().toStdString() << " "
                    << quoted(action->text()) << "\n";
            }
        };
        for (const QAction* top : window.menuBar()->actions()) {
            if (const QMenu* menu = top->menu()) {
                out << "menu " << menu->objectName().toStdString() << " " << quoted(menu->title())
                    << "\n";
                for (const QAction* item : menu->actions())
                    dumpAction(item, "  ");
            } else {
                dumpAction(top, "");
            }
        }
        const auto* toolBar = window.findChild<QToolBar*>(QStringLiteral("Toolbar1"));
        for (QAction* action : toolBar->actions()) {
            const QWidget* button = toolBar->widgetForAction(action);
            out << "button " << button->objectName().toStdString() << " " << quoted(action->text())
                << " tip " << quoted(button->toolTip()) << "\n";
        }
        return out.str();
    }

    using MainWindowView = ViewFixture;

    TEST_F(MainWindowView, ControlsExistWithTheirInitialTexts)
    {
        // The root, then the program's name; no model is chosen yet.
        EXPECT_EQ(
            window->windowTitle().toStdString(), root.path().string() + " \u2014 Quantem - QTM");
        EXPECT_EQ(editText("Text1"), " ");
        EXPECT_EQ(editText("Text2"), " ");
        EXPECT_EQ(editText("Text3"), " ");
        EXPECT_EQ(editText("Text4"), ".5");
        EXPECT_EQ(editText("Text7"), "0");
        EXPECT_FALSE(control("Text6")->isVisible());
        EXPECT_FALSE(control("Text7")->isVisible());
        EXPECT_EQ(control<QPlainTextEdit>("Text5")->toPlainText().toStdString(), "");

        EXPECT_EQ(labelText("Label23"), "InputSampleCapacity:");
        EXPECT_EQ(labelText("Label9"), "InputPowerInitialValue:");
        EXPECT_EQ(labelText("Label24"), "VariantNumber:");
        EXPECT_EQ(labelText("Label1"), "ElementNumber:");
        EXPECT_EQ(labelText("Label10"), "State of regression analysis ");
        for (int number : core::kValueLabels)
            EXPECT_EQ(labelText(QStringLiteral("Label%1").arg(number).toLatin1().constData()), " ")
                << "Label" << number;

        EXPECT_EQ(labelText("Label39"), "a0 value: ");
        EXPECT_EQ(labelText("Label43"), "a4 value:  ");
        EXPECT_EQ(labelText("Label45"), "a6 value: ");
        EXPECT_EQ(labelText("Label33"), "k1 value: ");
        EXPECT_EQ(labelText("Label38"), "k6 value: ");
        EXPECT_EQ(labelText("Label27"), "Correlation coefficient:");
        EXPECT_EQ(labelText("Label29"), "Remain standard warp:");
        EXPECT_EQ(labelText("Label32"), "Average relativity error");

        EXPECT_EQ(control<QGroupBox>("Frame1")->title().toStdString(),
            "Return to model of overview report");
        EXPECT_EQ(control<QGroupBox>("Frame2")->title().toStdString(), "Show the model");
        EXPECT_EQ(
            control<QGroupBox>("Frame3")->title().toStdString(), "Coefficient of regression model");
        EXPECT_EQ(control<QGroupBox>("Frame4")->title().toStdString(), "Power value of regression");
        EXPECT_EQ(
            control<QGroupBox>("Frame5")->title().toStdString(), "Test parameter of regression");
        EXPECT_NE(control("Picture1"), nullptr);
        EXPECT_NE(control("Picture2"), nullptr);

        // Panels 2 and 3 hold the date and time of the load; 4..7 the engine's progress fields.
        EXPECT_FALSE(labelText("Panel2").empty());
        EXPECT_FALSE(labelText("Panel3").empty());
        EXPECT_EQ(labelText("Panel4"), "0");
        EXPECT_EQ(labelText("Panel5"), "1");
        EXPECT_EQ(labelText("Panel6"), " ");
        EXPECT_EQ(labelText("Panel7"), "0");
    }

    TEST_F(MainWindowView, MenusAndToolbarMatchTheGoldenDump)
    {
        EXPECT_EQ(menuDump(*window), quantem::test::readTestData("main_window_menus.txt"));

        // Every key shows a picture; the menu bar's own entries show their captions.
        const auto* toolBar = window->findChild<QToolBar*>(QStringLiteral("Toolbar1"));
        for (QAction* action : toolBar->actions()) {
            const auto* button = static_cast<QToolButton*>(toolBar->widgetForAction(action));
            EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
        }
        for (const char* name : { "HT", "ModelCount", "BG" })
            EXPECT_TRUE(control<QAction>(name)->icon().isNull()) << name;
    }

    TEST_F(MainWindowView, MoreElementLeavesOnlyTheCountBoxesAndACatalogueModelRestoresTheRow)
    {
        trigger("dyhg");
        EXPECT_TRUE(control("Text2")->isVisible());
        EXPECT_TRUE(control("Text4")->isVisible());
        EXPECT_TRUE(control("Label23")->isVisible());
        EXPECT_TRUE(control("Label9")->isVisible());
        EXPECT_FALSE(control("Text1")->isVisible());
        EXPECT_FALSE(control("Text3")->isVisible());
        EXPECT_FALSE(control("Label1")->isVisible());
        EXPECT_FALSE(control("Label24")->isVisible());
        EXPECT_EQ(labelText("Label9"), "       Input Element(n):");
        EXPECT_EQ(editText("Text4"), "");
        EXPECT_EQ(editText("Text3"), "0"); // hidden, yet holding the element count
        EXPECT_TRUE(control<QAction>("dyhg")->isChecked());

        trigger("tshg14");
        for (const char* name : { "Text1", "Text2", "Text3", "Text4", "Label1", "Label24" })
            EXPECT_TRUE(control(name)->isVisible()) << name;
        EXPECT_EQ(labelText("Label9"), "InputPowerInitialValue:");
        EXPECT_EQ(editText("Text1"), "1");
        EXPECT_EQ(editText("Text3"), "2");
        EXPECT_EQ(editText("Text4"), "1");
        EXPECT_TRUE(control<QAction>("tshg14")->isChecked());
        EXPECT_FALSE(control<QAction>("dyhg")->isChecked());
        EXPECT_EQ(root.readSys("xx.sys"), "1,2,2,10\r\n");

        trigger("dxhg");
        EXPECT_EQ(labelText("Label9"), "        Input item(n):");
    }

    TEST_F(MainWindowView, ModelCountWithoutAResultShowsDoRegressionAndNoCalculator)
    {
        int calculatorOpened = 0;
        window->setCalculatorOpener([&calculatorOpened] { ++calculatorOpened; });
        trigger("QCJG"); // empties the a0 label
        trigger("ModelCount");

        const MessageWindowView& form5 = messages.view(core::MessageWindowId::Form5);
        EXPECT_TRUE(form5.isVisible());
        EXPECT_EQ(form5.findChild<QLabel*>(QStringLiteral("Label1"))->text().toStdString(),
            "   Do regression !");
        EXPECT_EQ(calculatorOpened, 0);

        // With an a0 value the toolbar key opens the calculator instead.
        session.form1.Label2 = "2.385";
        runner.refresh();
        control<QToolButton>("mj")->click();
        EXPECT_EQ(calculatorOpened, 1);
    }

    TEST_F(MainWindowView, TheTwoClearRoutesLeaveTheirOwnStateLines)
    {
        session.form1.Label17 = "0.998";
        session.form1.Text5 = "report\r\nline two";
        runner.refresh();
        EXPECT_EQ(
            control<QPlainTextEdit>("Text5")->toPlainText().toStdString(), "report\nline two");

        trigger("QCJG");
        EXPECT_EQ(
            labelText("Label10"), "State of regression analysis State of regression analysis ");
        EXPECT_EQ(labelText("Label17"), "");
        EXPECT_EQ(control<QPlainTextEdit>("Text5")->toPlainText().toStdString(), "");
        EXPECT_EQ(root.readSys("wcqk.sys"), "0,0,0,0\r\n");

        std::filesystem::remove(root.sys("wcqk.sys"));
        control<QToolButton>("qc")->click();
        EXPECT_EQ(labelText("Label10"), "State of regression analysis");
        EXPECT_EQ(root.readSys("wcqk.sys"), "<missing>");
    }

    TEST_F(MainWindowView, TypingTheSampleCountWritesTheCriterionOnEveryKey)
    {
        auto* text2 = control<QLineEdit>("Text2");
        text2->setFocus();
        text2->selectAll();
        QKeyEvent key(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
        QApplication::sendEvent(text2, &key);
        EXPECT_EQ(session.form1.Text2, "7");
        EXPECT_EQ(root.readSys("JC.sys"), "1E+20\r\n");

        std::filesystem::remove(root.sys("JC.sys"));
        QKeyEvent more(QEvent::KeyPress, Qt::Key_2, Qt::NoModifier, QStringLiteral("2"));
        QApplication::sendEvent(text2, &more);
        EXPECT_EQ(session.form1.Text2, "72");
        EXPECT_EQ(root.readSys("JC.sys"), "1E+20\r\n");

        // A text the program sets is no edit: rendering does not write the file again.
        std::filesystem::remove(root.sys("JC.sys"));
        runner.refresh();
        EXPECT_EQ(root.readSys("JC.sys"), "<missing>");
    }

    TEST_F(MainWindowView, PowerInitialValueEditsReachTheState)
    {
        auto* text4 = control<QLineEdit>("Text4");
        text4->setFocus();
        text4->selectAll();
        QKeyEvent key(QEvent::KeyPress, Qt::Key_3, Qt::NoModifier, QStringLiteral("3"));
        QApplication::sendEvent(text4, &key);
        EXPECT_EQ(session.form1.Text4, "3");
    }

    TEST_F(MainWindowView, ClosingAsksAndCancelKeepsTheWindow)
    {
        questions.answers = { core::Answer::Cancel, core::Answer::No };
        trigger("TC");
        EXPECT_TRUE(window->isVisible());
        ASSERT_EQ(questions.asked.size(), 1u);
        EXPECT_EQ(questions.asked[0], "ask System exit window|Has not been sved yet.Save it now ?");

        control<QToolButton>("tc")->click();
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(questions.asked.size(), 2u);
    }

    TEST_F(MainWindowView, YesToSavingThenCancellingTheSaveDialogKeepsTheWindow)
    {
        root.writeSamples("1,2\r\n2,3\r\n");
        root.writeFile("sys/xs.sys", "7,\"1.25\",\"-0.5\",\"0.75\"\r\n");
        questions.answers = { core::Answer::Yes, core::Answer::Yes };
        questions.fileNames = { std::filesystem::path(), root.path() / "kept.TXT" };
        trigger("TC");
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(session.messages.log().empty());

        trigger("TC");
        EXPECT_FALSE(window->isVisible());
        EXPECT_NE(root.read("kept.TXT"), "<missing>");
    }

    TEST_F(MainWindowView, SharedActionsReachTheirCommandsFromMenuAndToolbar)
    {
        trigger("hdzc");
        EXPECT_TRUE(messages.view(core::MessageWindowId::Form7).isVisible());
        control<QToolButton>("gy")->click();
        EXPECT_TRUE(messages.view(core::MessageWindowId::Form8).isVisible());
        control<QToolButton>("bz")->click();
        ASSERT_FALSE(shell.calls.empty());
        EXPECT_EQ(shell.calls.back(), "page " + session.addresses.help);

        // "Draw " and its key reach the chart's command, and the window renders afterwards.
        int draws = 0;
        window->setDrawCommand([this, &draws] {
            ++draws;
            session.form1.StatusBar1[0] = "drawn " + std::to_string(draws);
        });
        trigger("HT");
        control<QToolButton>("qx")->click();
        EXPECT_EQ(draws, 2);
        EXPECT_EQ(labelText("Panel1"), "drawn 2");
    }

    TEST_F(MainWindowView, ProgressRepaintShowsTheRunningPanelsAndIndicator)
    {
        core::Form1 running = session.form1;
        running.StatusBar1[3] = "17";
        running.StatusBar1[5] = "k2";
        running.Picture2 = core::Colour { 50, 100, 255 };
        window->repaintProgress(running);
        EXPECT_EQ(labelText("Panel4"), "17");
        EXPECT_EQ(labelText("Panel6"), "k2");
        EXPECT_EQ(control("Picture2")->palette().color(QPalette::Window), QColor(50, 100, 255));
    }

} // namespace
} // namespace quantem::ui::test
