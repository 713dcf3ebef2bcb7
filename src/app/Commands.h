#pragma once

#include "core/ModelCatalogue.h"
#include "core/Session.h"

#include <functional>
#include <string>

namespace quantem::app {

/// How a command was reached, where the routes differ.
enum class Route
{
    Menu,
    Toolbar
};

/// Whether a command is one the user starts anew, or a step that carries on what an earlier one
/// started (answering its message window; the later steps of a headless run), which keeps that
/// command's notice in status panel 1.
enum class CommandStart
{
    New,
    Continuing
};

/// Runs one command: a new one first empties status panel 1. A fault that nothing inside traps
/// ends the command where it stands, shows Form5 with its standing text and puts the fault's
/// description into status panel 1. A file that could not be written during the command is
/// named in panel 1 with the system's reason, above any other notice, whether or not the
/// command trapped the fault. The program goes on. A run stopped by its progress hook
/// (core::RunStopped) ends the same way, with "Stopped" in status panel 1 and no message window.
void runCommand(core::Session& session, const std::function<void()>& command,
    CommandStart start = CommandStart::New);

/// The start-up reset: da.sys 2, mb.sys 0,0, bmb.sys 0, xx.sys 0,0,0,0, JC.sys 98500000000000.
void startUpReset(core::Session& session);

/// Main window load: status panels 2 and 3 get the date and the time. When files could not be
/// written since the session began (the start-up reset on a root that cannot be written),
/// status panel 1 names them with the system's reason, as the command that failed did.
void loadMainWindow(core::Session& session, const std::string& date, const std::string& time);

/// Clear results. The menu route also writes wcqk.sys and leaves a different state line.
void clearResults(core::Session& session, Route route);

/// Sets Text2; when the text changed, the sample-count edit writes JC.sys 1E+20 and culi.sys
/// 0,0,0,0.
void setSampleCountText(core::Session& session, const std::string& text);

/// Data input: jb.sys 1; with no report waiting, clear results and start the data program;
/// otherwise show the save prompt Form10.
void dataInput(core::Session& session);

/// Report: jb.sys 2, the data report into bgx.sys, then start the data program.
void showReport(core::Session& session);

/// Opens the help page.
void openHelp(core::Session& session);

/// Model count: with no result (Label2 empty or blank, as before any regression) Form5
/// "   Do regression !"; otherwise the calculator. Returns true when the calculator is to be shown.
bool modelCount(core::Session& session);

/// Draw: opens the chart window with its fixed-value fields hidden and its X options shown.
void drawChart(core::Session& session);

/// Shows the model calculator Form11, loading it afresh when it is not loaded (the model's
/// inputs enabled from xx.sys); an open calculator is only shown again.
void openCalculator(core::Session& session);

/// Support and copyright windows.
void showSupport(core::Session& session);
void showCopyright(core::Session& session);

/// The exit prompt raised by closing the main window. Returns true when the program ends.
bool confirmExit(core::Session& session);

/// Shows a picture of the picture directory in Picture1; a missing one is told in status panel 1.
void loadPicture(core::Session& session, const std::string& pictureFile);

/// Starts the data program; a failure is told in status panel 1.
void startDataProgram(core::Session& session);

/// The text of the exit prompt and its title.
inline constexpr const char* kExitPromptText = "Has not been sved yet.Save it now ?";
inline constexpr const char* kExitPromptTitle = "System exit window";

} // namespace quantem::app
