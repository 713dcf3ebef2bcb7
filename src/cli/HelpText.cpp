#include "cli/HelpText.h"

#include "cli/EquationCommand.h"
#include "cli/FitCommand.h"
#include "cli/RankCommand.h"
#include "cli/SaveEquationCommand.h"

#include <algorithm>
#include <array>
#include <string_view>

#ifndef QUANTEM_VERSION
#error "QUANTEM_VERSION names the version of project() (set by src/CMakeLists.txt)"
#endif

namespace quantem::cli {

namespace {

    struct OptionHelp
    {
        std::string_view name;
        std::string_view value; // empty for a switch
        std::string_view what;
    };

    // clang-format off
    constexpr std::array<OptionHelp, 24> kOptions {{
        { "--root", "DIR", "install root with data.qtm and sys/ (default ~/qorvel_hg)" },
        { "--keep", "", "keep the scratch files of earlier runs instead of the start-up reset" },
        { "--json", "", "print the runs (or the ranking, or the equation fit) as JSON" },
        { "--details", "", "add uncertainty, a stable re-solve and the refined fit" },
        { "--publish-refined", "", "publish each power-model fit refined to its optimum" },
        { "--model", "ID", "the model of a run, 1 to 52" },
        { "--samples", "N", "how many groups of data.qtm a run or fit reads" },
        { "--power", "S", "the power initial value of a non-linear model" },
        { "--elements", "N", "the element count of model 51, or the degree of model 52" },
        { "--plot", "FILE", "draw the chart of the last run into FILE (.png, .svg or .pdf)" },
        { "--plot-size", "WxH", "the size of the chart in pixels (default 1600x1050)" },
        { "--rank", "", "fit every model of the group size and rank them by AICc" },
        { "--group-size", "G", "numbers per group for --rank (2 by default)" },
        { "--threads", "T", "threads for --rank and --equation (default: all cores)" },
        { "--csv", "", "print the ranking as CSV" },
        { "--equation", "TEXT", "fit your own equation, e.g. 'a*x^k'" },
        { "--start", "NAME=V,...", "start values of the equation's parameters (1 when not given)" },
        { "--fix", "NAME[=V],...", "hold parameters at their start or at V" },
        { "--bounds", "NAME=LO:HI,...", "keep parameters between LO and HI (either may be left out)" },
        { "--weights", "W", "none, sigma, inverse-y, inverse-y2 or poisson" },
        { "--save-equation", "NAME", "save the equation in the root's library under NAME" },
        { "--help", "", "print this help and exit" },
        { "-h", "", "the same as --help" },
        { "--version", "", "print the version and exit" },
    }};
    // clang-format on

    bool takesValue(std::string_view word)
    {
        return std::any_of(kOptions.begin(), kOptions.end(),
            [&](const OptionHelp& option) { return option.name == word && !option.value.empty(); });
    }

} // namespace

std::string helpText()
{
    std::string text = std::string(kFitUsage) + kRankUsage + kEquationUsage + kSaveEquationUsage
        + "       quantem-fit --help | --version\n\n"
          "Fits Quantem's regression models, or an equation of your own, to the samples of an "
          "install\nroot without a display, and prints the results.\n\nOptions:\n";
    for (const OptionHelp& option : kOptions) {
        std::string left = "  " + std::string(option.name);
        if (!option.value.empty())
            left += " " + std::string(option.value);
        left.resize(std::max<std::size_t>(left.size() + 1, 28), ' ');
        text += left + std::string(option.what) + "\n";
    }
    text += "\nExit status: 0 fitted, 1 a message window or refusal, 2 usage error, 3 a run "
            "published no\nresult, 130 or 143 stopped by SIGINT or SIGTERM. "
            "See quantem-fit(1).\n";
    return text;
}

std::string versionText() { return std::string("quantem-fit ") + QUANTEM_VERSION + "\n"; }

std::optional<std::string> helpOrVersionRequest(const std::vector<std::string>& arguments)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (word == "--help" || word == "-h")
            return helpText();
        if (word == "--version")
            return versionText();
        if (takesValue(word))
            ++i;
    }
    return std::nullopt;
}

} // namespace quantem::cli
