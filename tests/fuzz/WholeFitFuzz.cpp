// A whole regression on a memory store from arbitrary inputs: the model, the sample-count and
// initial-value texts, the scratch files as they were left, and the sample file. Whatever the
// bytes, the command ends (a long search is stopped through the progress hook, as the user's
// Stop would), no label, report or written file shows "nan" or "inf", and a message window
// shown carries one of the program's texts.
#include "FuzzChecks.h"
#include "app/Commands.h"
#include "app/ModelSelection.h"
#include "app/Regression.h"
#include "core/Fault.h"
#include "core/NumberText.h"
#include "core/Session.h"
#include "core/StopSwitch.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace quantem;

// Requests a stop after a fixed number of evaluations, so every input ends in bounded time.
struct EvaluationLimit : core::ProgressHook
{
    void progress(const core::Form1&) override
    {
        if (++evaluations == kLimit && stop != nullptr)
            stop->request();
    }
    static constexpr int kLimit = 400;
    core::StopSwitch* stop = nullptr;
    int evaluations = 0;
};

constexpr core::ScratchFile kSeeded[] = { core::ScratchFile::Xx, core::ScratchFile::Jc,
    core::ScratchFile::Culi, core::ScratchFile::R1, core::ScratchFile::Rr, core::ScratchFile::Xb,
    core::ScratchFile::Hgb, core::ScratchFile::Xs, core::ScratchFile::Mb };

// The report without the texts it repeats as the user typed them (the counts and the initial
// value): what is left is the program's own. The longest typed text goes first, so that a short
// one (a count of "8") cannot cut into a longer one that holds it ("1nan.387"), and each is
// replaced by a mark rather than erased, so that the text on either side never joins into a word.
std::string ownReportText(std::string report, std::vector<std::string> typed)
{
    std::sort(typed.begin(), typed.end(),
        [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& text : typed) {
        if (text.empty())
            continue;
        for (std::size_t at = report.find(text); at != std::string::npos;
             at = report.find(text, at + 1))
            report.replace(at, text.size(), "\x01");
    }
    return report;
}

void checkShown(const core::Form1& form, const std::vector<std::string>& typed)
{
    const std::string report = ownReportText(form.Text5, typed);
    fuzz::check(!fuzz::showsNonNumber(report), "report", form.Text5);
    for (int number : core::kValueLabels) {
        fuzz::check(!fuzz::showsNonNumber(form.label(number)), "value label", form.label(number));
    }
    for (std::size_t panel = 3; panel < form.StatusBar1.size(); ++panel)
        fuzz::check(
            !fuzz::showsNonNumber(form.StatusBar1[panel]), "status panel", form.StatusBar1[panel]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const int model = input.ConsumeIntegralInRange<int>(1, 52);
    const bool select = input.ConsumeBool();
    const std::string countText = input.ConsumeRandomLengthString(10);
    const std::string powerText = input.ConsumeRandomLengthString(12);
    std::map<core::ScratchFile, std::string> files;
    for (core::ScratchFile file : kSeeded) {
        if (input.ConsumeBool())
            files[file] = input.ConsumeRandomLengthString(48);
    }
    files[core::ScratchFile::Data] = input.ConsumeRemainingBytesAsString();

    // Sample counts beyond a few hundred only make the run longer, not different.
    try {
        if (std::fabs(core::val(countText)) > 300.0)
            return -1;
    } catch (const core::Fault&) {
    }

    const std::map<core::ScratchFile, std::string> seeded = files;
    core::Session session(core::ScratchStore::inMemory(std::move(files)));
    EvaluationLimit limit;
    core::StopSwitch stop(&limit);
    limit.stop = &stop;
    session.progress = &stop;

    if (select)
        app::runCommand(session, [&] { app::selectModel(session, model); });
    app::runCommand(session, [&] { app::setSampleCountText(session, countText); });
    session.form1.Text4 = powerText;
    app::runCommand(session, [&] { app::regressionCommand(session, app::Route::Menu); });

    fuzz::check(limit.evaluations <= EvaluationLimit::kLimit + 1, "a stop ends the run at once");
    checkShown(session.form1, { countText, powerText, session.form1.Text2, session.form1.Text4 });
    for (const core::Showing& showing : session.messages.log())
        fuzz::check(!fuzz::showsNonNumber(showing.text), "message text", showing.text);
    for (const auto& [file, bytes] : session.store.memory()->files()) {
        const auto before = seeded.find(file);
        if (before != seeded.end() && before->second == bytes)
            continue; // not written by the run
        fuzz::check(!fuzz::showsNonNumber(bytes), "written file", bytes);
        fuzz::check(bytes.empty() || bytes.back() == '\n', "a written file ends its line", bytes);
    }
    return 0;
}
