#include "app/Commands.h"

#include "app/MessageWindowCommands.h"
#include "chart/ChartWindow.h"
#include "core/Fault.h"
#include "support/SessionFixture.h"

#include <gtest/gtest.h>

namespace quantem::app {
namespace {

    using core::MessageWindowId;

    using CommandsTest = test::SessionFixture;

    TEST_F(CommandsTest, StartUpResetWritesItsFiles)
    {
        startUpReset(session);
        EXPECT_EQ(root.readSys("da.sys"), "2\r\n");
        EXPECT_EQ(root.readSys("mb.sys"), "0,0\r\n");
        EXPECT_EQ(root.readSys("bmb.sys"), "0\r\n");
        EXPECT_EQ(root.readSys("xx.sys"), "0,0,0,0\r\n");
        EXPECT_EQ(root.readSys("JC.sys"), "98500000000000\r\n");
    }

    TEST_F(CommandsTest, ClearRoutesDifferInStateLineAndWcqk)
    {
        session.form1.Text5 = "report";
        session.form1.Label2 = "1.5";
        session.form1.Label22 = "0.1";
        session.form1.Text2 = "10";
        session.form1.StatusBar1[3] = "7";
        clearResults(session, Route::Toolbar);
        EXPECT_EQ(root.readSys("wcqk.sys"), "<missing>");
        EXPECT_EQ(session.form1.Label10, "State of regression analysis");
        EXPECT_EQ(session.form1.Text5, "");
        EXPECT_EQ(session.form1.Text2, "");
        EXPECT_EQ(session.form1.Label2, "");
        EXPECT_EQ(session.form1.Label22, "");
        EXPECT_EQ(session.form1.StatusBar1[3], "0");
        EXPECT_EQ(session.form1.StatusBar1[4], "1");
        EXPECT_EQ(session.form1.StatusBar1[5], " ");
        // Emptying Text2 wrote 1E+20 first; clearing ends with 1E+19.
        EXPECT_EQ(root.readSys("JC.sys"), "1E+19\r\n");
        EXPECT_EQ(root.readSys("culi.sys"), "0,0,0,0\r\n");

        clearResults(session, Route::Menu);
        EXPECT_EQ(root.readSys("wcqk.sys"), "0,0,0,0\r\n");
        EXPECT_EQ(
            session.form1.Label10, "State of regression analysis State of regression analysis ");
    }

    TEST_F(CommandsTest, ClearResultsTellsAMissingBlankPicture)
    {
        clearResults(session, Route::Menu);
        EXPECT_EQ(session.form1.Picture1, "");
        EXPECT_NE(session.form1.StatusBar1[0].find("gsempty.bmp"), std::string::npos);

        root.writeFile("sz/gsempty.bmp", "BM");
        clearResults(session, Route::Menu);
        EXPECT_EQ(session.form1.Picture1, (root.path() / "sz" / "gsempty.bmp").string());
    }

    TEST_F(CommandsTest, SampleCountEditWritesOnEveryChange)
    {
        root.writeFile("sys/culi.sys", "1,2,3,4\r\n");
        setSampleCountText(session, "1");
        EXPECT_EQ(root.readSys("JC.sys"), "1E+20\r\n");
        EXPECT_EQ(root.readSys("culi.sys"), "0,0,0,0\r\n");
        root.writeFile("sys/JC.sys", "5\r\n");
        setSampleCountText(session, "12");
        EXPECT_EQ(root.readSys("JC.sys"), "1E+20\r\n");
        root.writeFile("sys/JC.sys", "5\r\n");
        setSampleCountText(session, "12"); // no change, no write
        EXPECT_EQ(root.readSys("JC.sys"), "5\r\n");
    }

    TEST_F(CommandsTest, DataInputStartsTheDataProgramOnlyWithoutAReport)
    {
        dataInput(session);
        EXPECT_EQ(root.readSys("jb.sys"), "1\r\n");
        ASSERT_EQ(shell.calls.size(), 1u);
        EXPECT_EQ(shell.calls[0], "start " + (root.path() / "DATA").string());
        EXPECT_TRUE(session.messages.log().empty());

        session.form1.Text5 = "a report";
        dataInput(session);
        EXPECT_EQ(shell.calls.size(), 1u);
        EXPECT_TRUE(session.messages[MessageWindowId::Form10].visible);
        EXPECT_EQ(session.form1.Text5, "a report");
    }

    TEST_F(CommandsTest, ChartInputDataWithAReportOffersToSaveItFirst)
    {
        const chart::MainWindowHooks hooks { [this](const std::string& text) {
                                                setSampleCountText(session, text);
                                            },
            [this] { dataInput(session); } };
        session.form1.Text2 = "8";
        session.form1.Text5 = "a report";
        chart::inputDataCommand(session, hooks);
        ASSERT_EQ(session.messages.log().size(), 1u);
        EXPECT_EQ(session.messages.log()[0].window, MessageWindowId::Form10);
        EXPECT_EQ(session.form1.Text5, "a report");
        EXPECT_TRUE(shell.calls.empty());

        // "No" drops the report as the main window's prompt does: clear, then the data program.
        pressMessageButton(session, MessageWindowId::Form10, MessageButton::No);
        EXPECT_EQ(session.form1.Text5, "");
        EXPECT_EQ(session.form1.Text2, "");
        ASSERT_EQ(shell.calls.size(), 1u);
        EXPECT_EQ(shell.calls[0], "start " + (root.path() / "DATA").string());
    }

    TEST_F(CommandsTest, AProgramThatCannotStartIsTold)
    {
        shell.succeed = false;
        dataInput(session);
        EXPECT_NE(session.form1.StatusBar1[0].find("could not be started"), std::string::npos);
    }

    TEST_F(CommandsTest, ModelCountWithoutResultAsksForARegression)
    {
        EXPECT_EQ(session.form1.Label2, " "); // as the window starts, before any regression
        EXPECT_FALSE(modelCount(session));
        session.form1.Label2 = "";
        EXPECT_FALSE(modelCount(session));
        ASSERT_EQ(session.messages.log().size(), 2u);
        EXPECT_EQ(session.messages.log()[0].text, "   Do regression !");
        session.form1.Label2 = "1.5";
        EXPECT_TRUE(modelCount(session));
    }

    TEST_F(CommandsTest, ExitPromptAsksWithItsTextAndTitle)
    {
        questions.answers = { core::Answer::Cancel, core::Answer::No };
        EXPECT_FALSE(confirmExit(session));
        EXPECT_TRUE(confirmExit(session));
        ASSERT_EQ(questions.asked.size(), 2u);
        EXPECT_EQ(questions.asked[0], "ask System exit window|Has not been sved yet.Save it now ?");
    }

    TEST_F(CommandsTest, ReportWritesTheDataReportBeforeStartingTheDataProgram)
    {
        showReport(session); // no regression yet: told, nothing started
        EXPECT_EQ(root.readSys("jb.sys"), "2\r\n");
        EXPECT_EQ(root.readSys("bgx.sys"), "<missing>");
        EXPECT_TRUE(shell.calls.empty());
        EXPECT_EQ(session.messages.log().back().text, "   Do regression !");

        root.writeSamples("1,2\r\n2,3\r\n");
        root.writeFile("sys/xs.sys", "7,\"1.25\",\"-0.5\",\"0.75\"\r\n");
        session.form1.Text5 = "the report";
        showReport(session);
        EXPECT_NE(root.readSys("bgx.sys").find("the report\r\n"), std::string::npos);
        ASSERT_EQ(shell.calls.size(), 1u);
        EXPECT_EQ(shell.calls[0], "start " + (root.path() / "DATA").string());
    }

    TEST_F(CommandsTest, ExitPromptYesSavesAndEndsUnlessTheSaveFailed)
    {
        root.writeSamples("1,2\r\n2,3\r\n");
        root.writeFile("sys/xs.sys", "7,\"1.25\",\"-0.5\",\"0.75\"\r\n");
        session.form1.Text5 = "the report";
        questions.answers = { core::Answer::Yes, core::Answer::Yes, core::Answer::Yes };
        questions.fileNames = { root.path() / "saved.TXT",
            root.path() / "no-such-folder" / "x.TXT", std::filesystem::path() };
        EXPECT_TRUE(confirmExit(session));
        EXPECT_NE(root.read("saved.TXT").find("the report\r\n"), std::string::npos);
        EXPECT_FALSE(confirmExit(session)); // the report could not be written: the program stays
        EXPECT_TRUE(session.messages[MessageWindowId::Form5].visible);
        const std::size_t showings = session.messages.log().size();
        EXPECT_FALSE(confirmExit(session)); // the save dialog was cancelled: back to the program
        EXPECT_EQ(session.messages.log().size(), showings);
    }

    TEST_F(CommandsTest, HelpAndWindowsGoThroughTheShellAndState)
    {
        openHelp(session);
        EXPECT_EQ(shell.calls.back(), "page " + (root.path() / "help.html").string());
        showSupport(session);
        showCopyright(session);
        EXPECT_TRUE(session.messages[MessageWindowId::Form7].visible);
        EXPECT_TRUE(session.messages[MessageWindowId::Form8].visible);
    }

    TEST_F(CommandsTest, AnUntrappedFaultShowsTheInputErrorAndGoesOn)
    {
        runCommand(
            session, [] { throw core::Fault(core::FaultCode::PathFileAccessError, "disk"); });
        EXPECT_EQ(session.messages.log().back().text, "   Input error !");
        EXPECT_EQ(session.form1.StatusBar1[0], "disk");
        runCommand(session, [] { throw std::length_error("too long"); });
        EXPECT_EQ(session.form1.StatusBar1[0], "too long");
        EXPECT_EQ(session.messages.log().size(), 2u);
        runCommand(session, [] {});
        EXPECT_EQ(session.form1.StatusBar1[0], ""); // a notice lasts until the next command

        // Memory that ran out is said as such; a ranking's session gets it back to try again.
        runCommand(session, [] { throw std::bad_alloc(); });
        EXPECT_EQ(session.messages.log().size(), 3u);
        EXPECT_EQ(session.form1.StatusBar1[0].rfind("There was not enough memory", 0), 0u);
        session.handsUpOutOfMemory = true;
        EXPECT_THROW(runCommand(session, [] { throw std::bad_alloc(); }), std::bad_alloc);
        EXPECT_EQ(session.messages.log().size(), 3u);
    }

} // namespace
} // namespace quantem::app
