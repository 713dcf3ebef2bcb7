#include "app/Commands.h"

#include "app/InstallRoot.h"
#include "chart/ChartWindow.h"
#include "core/Fault.h"
#include "core/Notices.h"
#include "core/StopSwitch.h"
#include "results/Calculator.h"
#include "results/DataReport.h"

#include <filesystem>
#include <new>

namespace quantem::app {

using core::Fault;
using core::MessageWindowId;
using core::Record;
using core::ScratchFile;
using core::Session;

namespace {

    const Record kFourZeros { 0.0, 0.0, 0.0, 0.0 };

    void writeNumber(const Session& session, ScratchFile file, double value)
    {
        session.store.writeRecord(file, Record { value });
    }

    void notify(Session& session, const std::string& text)
    {
        core::postNotice(session.form1, core::NoticeKind::Hint, text);
    }

    // The first file that could not be written is the cause of what the command showed after
    // it; the others are counted.
    std::string writeFailureNotice(const std::vector<core::WriteFailure>& failures)
    {
        std::string text = failures.front().reason;
        if (failures.size() == 2)
            text += " (and 1 more file)";
        else if (failures.size() > 2)
            text += " (and " + std::to_string(failures.size() - 1) + " more files)";
        return text;
    }

} // namespace

void runCommand(Session& session, const std::function<void()>& command, CommandStart start)
{
    // A notice speaks of the command that raised it; a new command starts without it.
    if (start == CommandStart::New)
        core::clearNotice(session.form1);
    const std::size_t failuresBefore = session.store.writeFailureCount();
    try {
        command();
    } catch (const core::RunStopped&) {
        // The run ended between two evaluations: what it wrote is whole, nothing is published,
        // and the state line no longer says to wait.
        core::postNotice(session.form1, core::NoticeKind::Reason, core::kStoppedText);
        if (session.form1.Label10 == core::kRegressWaitCaption)
            session.form1.Label10 = core::kStateCaption;
    } catch (const std::bad_alloc&) {
        if (session.handsUpOutOfMemory)
            throw;
        core::postNotice(session.form1, core::NoticeKind::Reason,
            "There was not enough memory to finish the command: close other programs or fit "
            "fewer groups.");
        session.messages.show(MessageWindowId::Form5);
    } catch (const std::exception& fault) {
        core::postNotice(session.form1, core::NoticeKind::Reason, fault.what());
        session.messages.show(MessageWindowId::Form5);
    }
    const std::vector<core::WriteFailure> failures
        = session.store.writeFailuresSince(failuresBefore);
    if (!failures.empty())
        core::postNotice(
            session.form1, core::NoticeKind::WriteFailure, writeFailureNotice(failures));
}

void startUpReset(Session& session)
{
    const core::ScratchStore& store = session.store;
    writeNumber(session, ScratchFile::Da, 2);
    store.writeRecord(ScratchFile::Mb, Record { 0.0, 0.0 });
    writeNumber(session, ScratchFile::Bmb, 0);
    store.writeRecord(ScratchFile::Xx, kFourZeros);
    writeNumber(session, ScratchFile::Jc, 9.85E+13);
}

void loadMainWindow(Session& session, const std::string& date, const std::string& time)
{
    session.form1.StatusBar1[1] = date;
    session.form1.StatusBar1[2] = time;
    // The load is a new command right after the start-up reset, so it emptied panel 1: a file
    // the start-up could not write is named again, or the first state would not say why.
    const std::vector<core::WriteFailure> startUp = session.store.writeFailuresSince(0);
    if (!startUp.empty())
        core::postNotice(
            session.form1, core::NoticeKind::WriteFailure, writeFailureNotice(startUp));
}

void loadPicture(Session& session, const std::string& pictureFile)
{
    // A store in memory has no picture directory: there is nothing to show, and a path relative
    // to the working directory must never be probed in its place.
    if (session.store.root().empty()) {
        session.form1.Picture1.clear();
        return;
    }
    const std::filesystem::path path = session.store.picturePath(pictureFile);
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) {
        session.form1.Picture1 = path.string();
    } else {
        session.form1.Picture1.clear();
        notify(session, "Picture not found: " + path.string());
    }
}

void clearResults(Session& session, Route route)
{
    core::Form1& form = session.form1;
    if (route == Route::Menu)
        session.store.writeRecord(ScratchFile::Wcqk, kFourZeros);
    form.StatusBar1[3] = "0";
    form.StatusBar1[4] = "1";
    form.StatusBar1[5] = " ";
    form.StatusBar1[6] = "0";
    loadPicture(session, std::string(kBlankPictureFile));
    form.Text1.clear();
    setSampleCountText(session, "");
    form.Text3.clear();
    form.Text5.clear();
    for (int number = 2; number <= 8; ++number)
        form.label(number).clear();
    form.Label10 = route == Route::Menu
        ? "State of regression analysis State of regression analysis "
        : "State of regression analysis";
    for (int number = 11; number <= 22; ++number)
        form.label(number).clear();
    writeNumber(session, ScratchFile::Jc, 1E+19);
    session.store.writeRecord(ScratchFile::Culi, kFourZeros);
}

void setSampleCountText(Session& session, const std::string& text)
{
    if (session.form1.Text2 == text)
        return;
    session.form1.Text2 = text;
    // A new sample count makes the next report count as new.
    writeNumber(session, ScratchFile::Jc, 1E+20);
    session.store.writeRecord(ScratchFile::Culi, kFourZeros);
}

void startDataProgram(Session& session)
{
    const std::filesystem::path program = session.store.dataProgramPath();
    if (session.shell == nullptr || !session.shell->startProgram(program))
        notify(session, "The data program could not be started: " + program.string());
}

void dataInput(Session& session)
{
    writeNumber(session, ScratchFile::Jb, 1);
    if (session.form1.Text5.empty()) {
        clearResults(session, Route::Menu);
        startDataProgram(session);
    } else {
        session.messages.show(MessageWindowId::Form10);
    }
}

void showReport(Session& session)
{
    writeNumber(session, ScratchFile::Jb, 2);
    // A report that could not be written was told in a message window: nothing new to show.
    const std::size_t showings = session.messages.log().size();
    results::showDataReport(session);
    if (session.messages.log().size() == showings)
        startDataProgram(session);
}

void openHelp(Session& session)
{
    if (session.shell == nullptr || !session.shell->openPage(session.addresses.help))
        notify(session, "The help page could not be opened: " + session.addresses.help);
}

bool modelCount(Session& session)
{
    // The a0 label starts as a blank: no regression has put a value there yet.
    if (session.form1.Label2.find_first_not_of(' ') == std::string::npos) {
        session.messages.show(MessageWindowId::Form5, std::string(core::kDoRegressionText));
        return false;
    }
    return true;
}

void drawChart(Session& session) { chart::openChartWindow(session); }

void openCalculator(Session& session) { results::showCalculator(session); }

void showSupport(Session& session) { session.messages.show(MessageWindowId::Form7); }

void showCopyright(Session& session) { session.messages.show(MessageWindowId::Form8); }

bool confirmExit(Session& session)
{
    if (session.questions == nullptr)
        return true;
    switch (session.questions->askYesNoCancel(kExitPromptText, kExitPromptTitle)) {
    case core::Answer::Yes:
        // A report that could not be saved was told in a message window: stay, so it is seen;
        // a cancelled save dialog takes the user back to the program, never out unsaved.
        return results::saveDataReport(session) == results::ReportSave::Written;
    case core::Answer::No:
        return true;
    case core::Answer::Cancel:
        break;
    }
    return false;
}

} // namespace quantem::app
