#include "cli/FitCommand.h"

#include "app/Commands.h"
#include "app/MessageWindowCommands.h"
#include "app/ModelSelection.h"
#include "app/Regression.h"
#include "app/RegressionReasons.h"
#include "cli/DetailsOutput.h"
#include "cli/EquationCommand.h"
#include "cli/RankCommand.h"
#include "cli/RunNotices.h"
#include "cli/SaveEquationCommand.h"
#include "cli/StopSignals.h"
#include "core/InstallRootPath.h"
#include "core/ModelCatalogue.h"
#include "core/Session.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <charconv>
#include <set>
#include <utility>

namespace quantem::cli {

using core::MessageWindowId;
using core::Session;

namespace {

    bool parseModelId(const std::string& text, int& model)
    {
        const char* end = text.data() + text.size();
        const auto result = std::from_chars(text.data(), end, model);
        return result.ec == std::errc() && result.ptr == end && model >= 1 && model <= 52;
    }

    /// What a run told beside the window state: notices before the fit and after it, and why
    /// "Model choice mistake !" was shown when the window itself does not say.
    struct RunTold
    {
        std::vector<std::string> notices;
        std::optional<std::string> modelChoiceReason;
    };

    /// Runs one fit as the main window would: select, type the sample count and the initial
    /// value, regress by the menu, then close what was shown since firstShowing with its first
    /// button. The steps after the selection carry it on, so a notice of the selection stays in
    /// status panel 1. When the selection could not store the model, the run stops there,
    /// because a regression would fit the model that the earlier xx.sys names.
    RunTold runOne(
        Session& session, const FitRun& run, std::size_t firstShowing, bool publishRefined)
    {
        constexpr app::CommandStart kCarryOn = app::CommandStart::Continuing;
        RunTold told;
        const int publishedBefore = session.form1.publishedFits;
        const std::size_t failuresBefore = session.store.writeFailureCount();
        app::runCommand(session, [&] { app::selectModel(session, run.model); });
        // The selection writes xx.sys last and traps no fault: any write it could not make left
        // xx.sys as it was.
        const bool selected = session.store.writeFailuresSince(failuresBefore).empty();
        if (selected) {
            app::runCommand(
                session, [&] { app::setSampleCountText(session, run.samples); }, kCarryOn);
            if (run.power)
                session.form1.Text4 = *run.power;
            if (run.elements)
                session.form1.Text4 = *run.elements;
            told.notices = noticesBeforeFit(session);
            const app::RegressionMark mark = app::markRegression(session);
            app::runCommand(
                session, [&] { app::regressionCommand(session, app::Route::Menu); }, kCarryOn);
            if (std::optional<std::string> silent = app::silentEndReason(session, run.model, mark))
                told.notices.push_back(std::move(*silent));
            told.modelChoiceReason = app::modelChoiceReason(session, run.model, mark);
        }
        std::set<MessageWindowId> shown;
        for (std::size_t i = firstShowing; i < session.messages.log().size(); ++i)
            shown.insert(session.messages.log()[i].window);
        for (MessageWindowId window : shown) {
            app::runCommand(
                session, [&] { app::pressMessageButton(session, window, app::MessageButton::Yes); },
                kCarryOn);
        }
        if (selected && shown.empty() && session.form1.publishedFits > publishedBefore)
            checkPublishedFit(session, publishRefined, told.notices);
        return told;
    }

    /// The showings of a run, from firstShowing, added to explained: a "Model choice mistake !"
    /// without a reason of its own gets the run's.
    void explainShowings(const std::vector<core::Showing>& log, std::size_t firstShowing,
        const std::optional<std::string>& modelChoiceReason, std::vector<core::Showing>& explained)
    {
        for (std::size_t i = firstShowing; i < log.size(); ++i) {
            explained.push_back(log[i]);
            core::Showing& showing = explained.back();
            if (modelChoiceReason && showing.window == MessageWindowId::Form6
                && showing.reason.empty())
                showing.reason = *modelChoiceReason;
        }
    }

    /// Tells on standard error why files could not be written, each file once.
    void printWriteFailures(
        const std::vector<core::WriteFailure>& failures, std::size_t run, std::ostream& err)
    {
        for (const core::WriteFailure& failure : failures)
            err << "quantem-fit: run " << run << ": " << failure.reason << '\n';
    }

    bool isBlank(const std::string& text)
    {
        return text.find_first_not_of(' ') == std::string::npos;
    }

    void printText(const core::Form1& form, std::ostream& out)
    {
        struct Line
        {
            const char* caption;
            int label;
        };
        // clang-format off
        static constexpr Line kLines[] {
            { "a0 value: ", 2 }, { "a1 value: ", 3 }, { "a2 value: ", 4 }, { "a3 value: ", 5 },
            { "a4 value:  ", 6 }, { "a5 value: ", 7 }, { "a6 value: ", 8 },
            { "k1 value: ", 11 }, { "k2 value: ", 12 }, { "k3 value: ", 13 },
            { "k4 value: ", 14 }, { "k5 value: ", 15 }, { "k6 value: ", 16 },
            { "Correlation coefficient:", 17 }, { "The statistic:", 18 },
            { "Remain standard warp:", 19 }, { "The maximal error:", 20 },
            { "Average error:", 21 }, { "Average relativity error", 22 },
        };
        // clang-format on
        out << form.Text5 << "\n\n";
        for (const Line& line : kLines) {
            const std::string& value = form.label(line.label);
            // Captions without a trailing blank get one, so the value does not run into them.
            const std::string caption = line.caption;
            if (!isBlank(value))
                out << caption << (caption.back() == ' ' ? "" : " ") << value << '\n';
        }
    }

    /// The message windows of the runs after the labels, as the JSON lists them: each with its
    /// text, how often it was shown in a row, and why.
    void printMessageWindows(const std::vector<core::Showing>& log, std::ostream& out)
    {
        if (log.empty())
            return;
        out << "\nMessage windows shown:\n";
        for (std::size_t i = 0; i < log.size(); ++i) {
            std::size_t repeats = 1;
            while (i + 1 < log.size() && log[i + 1].window == log[i].window
                && log[i + 1].text == log[i].text && log[i + 1].reason == log[i].reason) {
                ++repeats;
                ++i;
            }
            out << "  " << core::messageWindowName(log[i].window) << " \"" << log[i].text << '"';
            if (repeats > 1)
                out << " (" << repeats << " times)";
            if (!log[i].reason.empty())
                out << ": " << log[i].reason;
            out << '\n';
        }
    }

    nlohmann::ordered_json formJson(const core::Form1& form)
    {
        nlohmann::ordered_json json;
        json["Text1"] = form.Text1;
        json["Text2"] = form.Text2;
        json["Text3"] = form.Text3;
        json["Text4"] = form.Text4;
        json["Text5"] = form.Text5;
        json["Text7"] = form.Text7;
        for (int number = 2; number <= 22; ++number) {
            const std::string name = "Label" + std::to_string(number);
            if (number == 9)
                json[name] = form.Label9;
            else if (number == 10)
                json[name] = form.Label10;
            else
                json[name] = form.label(number);
        }
        json["Frame1"] = form.Frame1;
        json["StatusBar1"] = form.StatusBar1;
        return json;
    }

    nlohmann::ordered_json dialogsJson(const std::vector<core::Showing>& log, std::size_t from)
    {
        nlohmann::ordered_json dialogs = nlohmann::ordered_json::array();
        for (std::size_t i = from; i < log.size(); ++i) {
            const std::string form = core::messageWindowName(log[i].window);
            const std::string& reason = log[i].reason;
            if (!dialogs.empty() && dialogs.back()["form"] == form
                && dialogs.back()["text"] == log[i].text
                && dialogs.back().value("reason", std::string()) == reason) {
                dialogs.back()["count"] = dialogs.back()["count"].get<int>() + 1;
                continue;
            }
            dialogs.push_back({ { "form", form }, { "text", log[i].text }, { "count", 1 } });
            if (!reason.empty())
                dialogs.back()["reason"] = reason;
        }
        return dialogs;
    }

    // Why each refused input was refused, one line per showing that says so.
    void printReasons(
        const std::vector<core::Showing>& log, std::size_t from, std::size_t run, std::ostream& err)
    {
        for (std::size_t i = from; i < log.size(); ++i) {
            if (!log[i].reason.empty())
                err << "quantem-fit: run " << run << ": " << log[i].reason << '\n';
        }
    }

    // The chart of the last run; what its commands showed and a file not written go to err.
    bool drawPlot(
        Session& session, const PlotRequest& request, const PlotWriter& plot, std::ostream* err)
    {
        const std::size_t shown = session.messages.log().size();
        const std::string failure
            = plot ? plot(session, request) : std::string("this program cannot draw charts");
        if (err != nullptr) {
            const std::vector<core::Showing>& log = session.messages.log();
            for (std::size_t i = shown; i < log.size(); ++i)
                *err << "quantem-fit: --plot: " << core::messageWindowName(log[i].window) << " \""
                     << log[i].text << "\"\n";
            if (!failure.empty())
                *err << "quantem-fit: --plot: " << failure << '\n';
        }
        // A chart step that had to show a message window drew no chart of the fit.
        return failure.empty() && session.messages.log().size() == shown;
    }

} // namespace

std::optional<std::string> missingRootError(const std::filesystem::path& root)
{
    std::error_code error;
    if (std::filesystem::is_directory(root, error))
        return std::nullopt;
    return "the install root '" + root.string()
        + "' is not a folder that exists: give an install root with --root DIR (the desktop "
          "program quantem creates one when it starts)";
}

bool parsePlotSize(const std::string& text, int& width, int& height)
{
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos)
        return false;
    const auto whole = [](const char* first, const char* last, int& value) {
        const auto result = std::from_chars(first, last, value);
        return result.ec == std::errc() && result.ptr == last && value >= 16 && value <= 20000;
    };
    return whole(text.data(), text.data() + x, width)
        && whole(text.data() + x + 1, text.data() + text.size(), height);
}

ParseResult parseFitArguments(
    const std::vector<std::string>& arguments, const std::filesystem::path& defaultRoot)
{
    FitOptions options;
    options.root = core::installRootFrom(defaultRoot.string()).value_or(defaultRoot);
    ParseResult result;
    std::vector<bool> samplesGiven;
    PlotRequest plot;
    bool plotGiven = false;
    bool plotSizeGiven = false;
    auto fail = [&](const std::string& message) {
        result.error = message;
        return result;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (option == "--keep") {
            options.keep = true;
        } else if (option == "--json") {
            options.json = true;
        } else if (option == "--details") {
            options.details = true;
        } else if (option == "--publish-refined") {
            options.publishRefined = true;
        } else if (option == "--root" || option == "--model" || option == "--samples"
            || option == "--power" || option == "--elements" || option == "--plot"
            || option == "--plot-size") {
            if (!hasValue)
                return fail(option + " needs a value");
            const std::string& value = arguments[++i];
            if (option == "--root") {
                const std::optional<std::filesystem::path> root = core::installRootFrom(value);
                if (!root)
                    return fail(core::kEmptyRootError);
                options.root = *root;
            } else if (option == "--plot") {
                plot.file = value;
                plotGiven = true;
            } else if (option == "--plot-size") {
                if (!parsePlotSize(value, plot.width, plot.height))
                    return fail("--plot-size must be WxH in pixels, each from 16 to 20000, not '"
                        + value + "'");
                plotSizeGiven = true;
            } else if (option == "--model") {
                FitRun run;
                if (!parseModelId(value, run.model))
                    return fail("--model must be a model number from 1 to 52, not '" + value + "'");
                options.runs.push_back(run);
                samplesGiven.push_back(false);
            } else if (options.runs.empty()) {
                return fail(option + " must follow --model");
            } else if (option == "--samples") {
                options.runs.back().samples = value;
                samplesGiven.back() = true;
            } else if (option == "--power") {
                if (core::usesLinearEngine(options.runs.back().model))
                    return fail("--power is for models 1-50; use --elements with model "
                        + std::to_string(options.runs.back().model));
                options.runs.back().power = value;
            } else {
                if (!core::usesLinearEngine(options.runs.back().model))
                    return fail("--elements is for models 51 and 52; use --power with model "
                        + std::to_string(options.runs.back().model));
                options.runs.back().elements = value;
            }
        } else {
            return fail("unknown option '" + option + "'");
        }
    }
    if (options.runs.empty())
        return fail("no run given: at least one --model ID --samples TEXT is needed");
    for (std::size_t i = 0; i < options.runs.size(); ++i) {
        if (!samplesGiven[i])
            return fail("run " + std::to_string(i + 1) + " (--model "
                + std::to_string(options.runs[i].model) + ") needs --samples TEXT");
    }
    if (plotSizeGiven && !plotGiven)
        return fail("--plot-size needs --plot FILE");
    if (plotGiven) {
        const std::string extension = plot.file.extension().string();
        std::string lower;
        for (char c : extension)
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower != ".png" && lower != ".svg" && lower != ".pdf")
            return fail(
                "--plot FILE must end in .png, .svg or .pdf, not '" + plot.file.string() + "'");
        options.plot = plot;
    }
    result.options = std::move(options);
    return result;
}

int runFits(const FitOptions& options, std::ostream& out, std::ostream& err, const PlotWriter& plot)
{
    std::error_code error;
    std::filesystem::create_directories(options.root / "sys", error);
    Session session(options.root);
    StopSignals stops;
    session.progress = &stops.stopSwitch();
    if (!options.keep)
        app::runCommand(session, [&] { app::startUpReset(session); });
    nlohmann::ordered_json runs = nlohmann::ordered_json::array();
    bool showedMessage = false;
    bool allPublished = true;
    // A message or a failed write of the start-up reset (a root that cannot be written) belongs
    // to the first run.
    std::size_t firstShowing = 0;
    std::size_t failureMark = 0;
    // The log of the message windows as this program tells it, with the reasons it adds.
    std::vector<core::Showing> explained;
    for (std::size_t number = 1; const FitRun& run : options.runs) {
        const int publishedBefore = session.form1.publishedFits;
        const RunTold told = runOne(session, run, firstShowing, options.publishRefined);
        const std::vector<std::string>& notices = told.notices;
        explainShowings(session.messages.log(), firstShowing, told.modelChoiceReason, explained);
        showedMessage = showedMessage || session.messages.log().size() > firstShowing;
        allPublished = allPublished && session.form1.publishedFits > publishedBefore;
        printReasons(explained, firstShowing, number, err);
        for (const std::string& notice : notices)
            err << "quantem-fit: run " << number << ": " << notice << '\n';
        printWriteFailures(session.store.writeFailuresSince(failureMark), number++, err);
        if (options.json) {
            runs.push_back({ { "Form1", formJson(session.form1) },
                { "dialogs", dialogsJson(explained, firstShowing) }, { "notices", notices } });
            if (options.details) {
                const auto details = currentDetails(session);
                runs.back()["details"] = details ? detailsJson(*details) : nullptr;
            }
        }
        firstShowing = session.messages.log().size();
        failureMark = session.store.writeFailureCount();
        if (stops.received() != 0)
            break; // a stopped run is the last one; what is there so far is printed
    }
    if (options.json)
        out << nlohmann::ordered_json { { "runs", runs } }.dump(
            2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
            << '\n';
    else {
        printText(session.form1, out);
        printMessageWindows(explained, out);
    }
    if (options.details && !options.json)
        printDetails(currentDetails(session), out);
    if (stops.received() != 0)
        return stops.exitStatus();
    int status = kExitFitted;
    if (showedMessage)
        status = kExitMessageShown;
    else if (!allPublished)
        status = kExitNothingPublished;
    if (options.plot && !drawPlot(session, *options.plot, plot, &err))
        status = kExitMessageShown;
    return status;
}

int fitMain(const std::vector<std::string>& arguments, const std::filesystem::path& defaultRoot,
    std::ostream& out, std::ostream& err, const PlotWriter& plot)
{
    if (asksForSavingEquation(arguments))
        return saveEquationMain(arguments, defaultRoot, out, err);
    if (asksForEquation(arguments))
        return equationMain(arguments, defaultRoot, out, err, equationPlotWriterOf(plot));
    if (asksForRanking(arguments))
        return rankMain(arguments, defaultRoot, out, err);
    const ParseResult parsed = parseFitArguments(arguments, defaultRoot);
    if (!parsed.options) {
        err << "quantem-fit: " << parsed.error << '\n'
            << kFitUsage << kRankUsage << kEquationUsage << kSaveEquationUsage;
        return kExitUsageError;
    }
    if (const std::optional<std::string> missing = missingRootError(parsed.options->root)) {
        err << "quantem-fit: " << *missing << '\n';
        return kExitUsageError;
    }
    return runFits(*parsed.options, out, err, plot);
}

} // namespace quantem::cli
