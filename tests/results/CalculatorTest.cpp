#include "results/Calculator.h"

#include "core/Fault.h"
#include "core/ModelCatalogue.h"
#include "support/Recording.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

namespace quantem::results {
namespace {

    using core::MessageWindowId;

    class CalculatorTest : public ::testing::Test
    {
    protected:
        quantem::test::TempRoot root;
        quantem::test::RecordingShell shell;
        core::Session session { root.path() };
        core::Form11& form = session.form11;

        void SetUp() override { session.shell = &shell; }

        void chooseModel(core::ModelId model)
        {
            if (core::usesLinearEngine(model)) {
                root.writeFile("sys/xx.sys", "0,,0," + std::to_string(model) + "\r\n");
                return;
            }
            const core::ModelDescriptor& d = core::modelOf(model);
            root.writeFile("sys/xx.sys",
                std::to_string(d.variables) + "," + std::to_string(d.elements) + ","
                    + std::to_string(d.exponents) + "," + std::to_string(model) + "\r\n");
        }

        // Opens a fresh calculator on model with x1..x3 typed in.
        void open(core::ModelId model, const std::string& x1, const std::string& x2 = "",
            const std::string& x3 = "")
        {
            chooseModel(model);
            showCalculator(session);
            changeCalculatorInput(session, CalculatorInput::Text1, x1);
            changeCalculatorInput(session, CalculatorInput::Text2, x2);
            changeCalculatorInput(session, CalculatorInput::Text3, x3);
        }

        const core::MessageWindow& form5() const
        {
            return session.messages[MessageWindowId::Form5];
        }
    };

    TEST_F(CalculatorTest, UsesTheCoefficientsAsTheMainWindowShowsThem)
    {
        session.form1.Label2 = "2";
        session.form1.Label3 = "3";
        open(1, "4");
        calculate(session);
        EXPECT_EQ(form.Text4, "14");
        EXPECT_EQ(form.StatusBar1[1], "Calculate");

        // Labels a shorter model leaves empty, blank or stale count as 0 or are not used; a label
        // is read as the number it begins with.
        session.form1.Label2 = "2.5 (rounded)";
        session.form1.Label4 = "";
        session.form1.Label11 = "1.5";
        calculate(session);
        EXPECT_EQ(form.Text4, "14.5");

        // The rounded label, not the full-precision published value, decides the last digits.
        root.writeFile("sys/XB.sys", "0,0.3333333333333333\r\n0,0\r\n");
        session.form1.Label2 = "0";
        session.form1.Label3 = "0.333333333333333";
        changeCalculatorInput(session, CalculatorInput::Text1, " 3E+6 ");
        calculate(session);
        EXPECT_EQ(form.Text4, "999999.999999999");

        // Display text: exponent form for large values.
        session.form1.Label3 = "1E+10";
        changeCalculatorInput(session, CalculatorInput::Text1, "1d10");
        calculate(session);
        EXPECT_EQ(form.Text4, "1E+20");
    }

    TEST_F(CalculatorTest, OnlyTheVariablesOfTheFormulaAreRead)
    {
        session.form1.Label2 = "0.5";
        session.form1.Label3 = "2";
        session.form1.Label4 = "-1.25";
        session.form1.Label11 = "2";
        session.form1.Label12 = "0.5";
        open(7, "3", "not a number", "");
        calculate(session);
        EXPECT_EQ(form.Text4, "18.5");

        // Model 16 uses x1 and x2: a0 + a1 * x1 ^ k1 + a2 * x2 ^ k2.
        open(16, "3", "6.25", "ignored");
        calculate(session);
        EXPECT_EQ(form.Text4, "15.375");
    }

    TEST_F(CalculatorTest, LoadEnablesTheInputsOfTheModelsGroupSize)
    {
        struct Case
        {
            core::ModelId model;
            bool text1, text2, text3;
        };
        for (const Case& c : { Case { 7, true, false, false }, Case { 20, true, true, false },
                 Case { 40, true, true, true }, Case { 52, true, true, true } }) {
            chooseModel(c.model);
            showCalculator(session);
            EXPECT_TRUE(form.loaded && form.visible);
            EXPECT_EQ(form.Text1Enabled, c.text1) << c.model;
            EXPECT_EQ(form.Text2Enabled, c.text2) << c.model;
            EXPECT_EQ(form.Text3Enabled, c.text3) << c.model;
            closeCalculator(session);
            EXPECT_FALSE(form.loaded || form.visible);
        }
    }

    TEST_F(CalculatorTest, AnOpenWindowIsShownAgainWithoutReloading)
    {
        open(7, "1.75");
        const int showings = form.showings;
        chooseModel(40);
        showCalculator(session);
        EXPECT_EQ(form.showings, showings + 1);
        EXPECT_FALSE(form.Text2Enabled) << "the model is read at load only";
        EXPECT_EQ(form.Text1, "1.75");

        // Closed by its title bar, the next showing is a fresh window for the current model.
        unloadCalculator(session);
        EXPECT_FALSE(form.loaded || form.visible);
        showCalculator(session);
        EXPECT_TRUE(form.Text3Enabled);
        EXPECT_EQ(form.Text1, "");
        EXPECT_EQ(form.StatusBar1[1], "");
    }

    TEST_F(CalculatorTest, MissingInputsAskForTheDimensionAndComputeNothing)
    {
        struct Case
        {
            core::ModelId model;
            const char *x1, *x2, *x3, *text;
        };
        for (const Case& c : { Case { 7, "", "2", "3", "  Input the dimension!" },
                 Case { 20, "2", "", "", "  Input the dimension! !" },
                 Case { 20, "", "2", "", "  Input the dimension! !" },
                 Case { 40, "2", "3", "", "  Input the dimension! !" } }) {
            open(c.model, c.x1, c.x2, c.x3);
            form.Text4 = "earlier";
            calculate(session);
            EXPECT_EQ(form.Text4, "earlier") << c.model;
            EXPECT_TRUE(form5().visible);
            EXPECT_EQ(form5().text, c.text) << c.model;
            session.messages.unload(MessageWindowId::Form5);
            closeCalculator(session);
        }
        // A blank is not empty: it passes the test and fails, silently, as a number.
        open(7, " ");
        calculate(session);
        EXPECT_FALSE(form5().visible);
        EXPECT_EQ(session.messages.log().size(), 4u);
    }

    TEST_F(CalculatorTest, OnlyAnInvalidArgumentIsShownAndNoFailureTouchesTheResult)
    {
        session.form1.Label2 = "1";
        session.form1.Label3 = "2";
        session.form1.Label11 = "0.5";

        // Log of 0 and a negative base with a fractional power: Form5 with the text it holds.
        for (const auto& [model, x1] : { std::pair { 8, "0" }, std::pair { 7, "-3" } }) {
            open(model, "2.25");
            calculate(session);
            const std::string before = form.Text4;
            ASSERT_FALSE(before.empty());
            changeCalculatorInput(session, CalculatorInput::Text1, x1);
            calculate(session);
            EXPECT_EQ(form.Text4, before);
            EXPECT_TRUE(form5().visible);
            EXPECT_EQ(form5().text, "   Input error !");
            session.messages.unload(MessageWindowId::Form5);
        }

        // A Form5 still showing another text keeps it: only a fresh load restores the default.
        session.messages.show(MessageWindowId::Form5, std::string(core::kDoRegressionText));
        calculate(session);
        EXPECT_EQ(form5().text, "   Do regression !");
        EXPECT_EQ(session.messages.log().back().text, "   Do regression !");
        session.messages.unload(MessageWindowId::Form5);

        // Division by zero and overflow end silently.
        const std::size_t showings = session.messages.log().size();
        for (const auto& [model, x1] : { std::pair { 4, "0" }, std::pair { 9, "710" } }) {
            open(model, "1.5");
            calculate(session);
            const std::string before = form.Text4;
            changeCalculatorInput(session, CalculatorInput::Text1, x1);
            calculate(session);
            EXPECT_EQ(form.Text4, before) << model << " at " << x1;
        }
        EXPECT_EQ(session.messages.log().size(), showings);
    }

    TEST_F(CalculatorTest, AnInputThatIsNotANumberLeavesNoResultAndSaysSo)
    {
        session.form1.Label2 = "1";
        session.form1.Label3 = "2";
        session.form1.Label4 = "3";
        for (const auto& [x1, x2] : { std::pair { "abc", "1" }, std::pair { "4,5", "1" },
                 std::pair { "1e400", "1" }, std::pair { "2", "two" } }) {
            open(2, "1.5", "2.5"); // y = a0 + a1 * x1 + a2 * x2
            calculate(session);
            ASSERT_EQ(form.Text4, "11.5");
            changeCalculatorInput(session, CalculatorInput::Text1, x1);
            changeCalculatorInput(session, CalculatorInput::Text2, x2);
            calculate(session);
            EXPECT_EQ(form.Text4, "") << x1 << " " << x2;
            const std::string box = std::string(x1) == "2"
                ? "Input the secondly dimension: \"two\""
                : "Input the first dimension: \"" + std::string(x1) + "\"";
            EXPECT_EQ(form.StatusBar1[0], box + " is not a number.");
        }
        EXPECT_TRUE(session.messages.log().empty());
        // The next calculation with numbers clears the notice.
        changeCalculatorInput(session, CalculatorInput::Text2, "0.5");
        calculate(session);
        EXPECT_EQ(form.Text4, "6.5");
        EXPECT_EQ(form.StatusBar1[0], "");
    }

    TEST_F(CalculatorTest, ModelsWithoutAFormulaGiveAnEmptyResult)
    {
        session.form1.Label2 = "1.5";
        for (core::ModelId model : { 51, 52, 0 }) {
            if (model == 0)
                root.writeFile("sys/xx.sys", "0,0,0,0\r\n");
            else
                chooseModel(model);
            showCalculator(session);
            form.Text4 = "earlier";
            calculate(session);
            EXPECT_EQ(form.Text4, "") << model;
            closeCalculator(session);
        }
        EXPECT_TRUE(session.messages.log().empty());
    }

    TEST_F(CalculatorTest, StatusPanelTellsWhatTheUserDid)
    {
        open(20, "", "", "");
        form.Text4 = "12.5";
        changeCalculatorInput(session, CalculatorInput::Text2, "7");
        EXPECT_EQ(form.StatusBar1[1], "Input the secondly dimension.");
        EXPECT_EQ(form.Text4, "12.5") << "typing computes nothing";
        changeCalculatorInput(session, CalculatorInput::Text1, "7.5");
        EXPECT_EQ(form.StatusBar1[1], "Input the first dimension.");
        changeCalculatorInput(session, CalculatorInput::Text3, "1");
        EXPECT_EQ(form.StatusBar1[1], "Input the third dimension.");
        changeCalculatorInput(session, CalculatorInput::Text2, "7");
        EXPECT_EQ(form.StatusBar1[1], "Input the third dimension.") << "same text, no change";

        // Emptying the boxes changes them: the last one emptied is told.
        changeCalculatorInput(session, CalculatorInput::Text3, "");
        clearCalculator(session);
        EXPECT_EQ(form.Text1 + form.Text2 + form.Text3 + form.Text4, "");
        EXPECT_EQ(form.StatusBar1[1], "Input the secondly dimension.");
        clearCalculator(session);
        EXPECT_EQ(form.StatusBar1[1], "Clear");

        calculatorHelp(session);
        EXPECT_EQ(form.StatusBar1[1], "Help");
        ASSERT_EQ(shell.calls.size(), 1u);
        EXPECT_EQ(shell.calls[0], "page " + session.addresses.help);
        shell.succeed = false;
        calculatorHelp(session);
        EXPECT_NE(form.StatusBar1[0].find("could not be opened"), std::string::npos);
        clearCalculator(session);
        EXPECT_EQ(form.StatusBar1[0], "") << "a notice goes with the next action";

        closeCalculator(session);
        EXPECT_FALSE(form.loaded || form.visible);
    }

    TEST_F(CalculatorTest, UnreadableModelFileIsNotTrappedAndLeavesTheWindowClosed)
    {
        std::filesystem::remove(root.sys("xx.sys"));
        EXPECT_THROW(showCalculator(session), core::Fault);
        EXPECT_FALSE(form.loaded || form.visible);

        open(1, "2");
        std::filesystem::remove(root.sys("xx.sys"));
        try {
            calculate(session);
            ADD_FAILURE() << "no fault";
        } catch (const core::Fault& fault) {
            EXPECT_EQ(fault.code(), core::FaultCode::FileNotFound);
        }
        EXPECT_TRUE(session.messages.log().empty());
    }

} // namespace
} // namespace quantem::results
