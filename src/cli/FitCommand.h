#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace quantem::core {
struct Session;
}

namespace quantem::cli {

/// One fit of the command line: the model, the sample-count text and the initial value (1-50) or
/// the element count (51, 52).
struct FitRun
{
    int model = 0;
    std::string samples;
    std::optional<std::string> power;
    std::optional<std::string> elements;
};

/// A chart to draw after the runs: the file, whose extension names the format (png, svg, pdf),
/// and its size in pixels.
struct PlotRequest
{
    std::filesystem::path file;
    int width = 1600;
    int height = 1050;
};

/// Draws the chart of the session's fit to the requested file; returns an empty text, or why
/// it was not written.
using PlotWriter = std::function<std::string(core::Session&, const PlotRequest&)>;

/// Reads "WxH", each a whole number of pixels from 16 to 20000, into width and height.
bool parsePlotSize(const std::string& text, int& width, int& height);

struct FitOptions
{
    std::filesystem::path root;
    bool keep = false;
    bool json = false;
    bool details = false; // statistics, stable solve and refinement of each run's fit
    bool publishRefined = false; // each power-model fit refined to its optimum is what is published
    std::vector<FitRun> runs;
    std::optional<PlotRequest> plot;
};

/// Parses the arguments after the program name. Returns the options, or an error message for a
/// usage error.
struct ParseResult
{
    std::optional<FitOptions> options;
    std::string error;
};
ParseResult parseFitArguments(
    const std::vector<std::string>& arguments, const std::filesystem::path& defaultRoot);

/// Exit statuses of the program.
inline constexpr int kExitFitted = 0; // every run published a result and none showed a message
inline constexpr int kExitMessageShown = 1; // some run showed a message window
inline constexpr int kExitUsageError = 2;
inline constexpr int kExitNothingPublished = 3; // no message, but some run published no result

/// Runs the fits on one main-window state and prints the results on out; why an input was
/// refused, and files that could not be written (once per file and run), go to err. Then draws
/// the chart of the last fit when asked to, with plot. Returns kExitMessageShown when some run
/// showed a message window or the chart was not written, else kExitNothingPublished when some run
/// set no coefficients, else kExitFitted; 130 or 143 when SIGINT or SIGTERM stopped a run (the
/// runs after it are not made, no chart is drawn).
int runFits(
    const FitOptions& options, std::ostream& out, std::ostream& err, const PlotWriter& plot = {});

/// Why root cannot be the install root of a command: only the desktop program makes one. No
/// value for a folder that exists.
std::optional<std::string> missingRootError(const std::filesystem::path& root);

/// The whole program: parse, run, print. Returns the exit status.
int fitMain(const std::vector<std::string>& arguments, const std::filesystem::path& defaultRoot,
    std::ostream& out, std::ostream& err, const PlotWriter& plot = {});

inline constexpr const char* kFitUsage
    = "usage: quantem-fit [--root DIR] [--keep] [--json] [--details] [--publish-refined]"
      " RUN [RUN ...]"
      " [--plot FILE [--plot-size WxH]]\n"
      "       RUN := --model ID --samples TEXT [--power TEXT | --elements TEXT]\n";

} // namespace quantem::cli
