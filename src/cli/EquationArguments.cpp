#include "cli/EquationCommand.h"
#include "cli/ThreadCount.h"
#include "core/InstallRootPath.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace quantem::cli {

namespace {

    // A number in the C locale, whatever the process's; NaN is no value.
    std::optional<double> numberOf(std::string_view text)
    {
        double value = 0.0;
        const char* end = text.data() + text.size();
        const char* first = text.data();
        if (first != end && *first == '+')
            ++first;
        const auto result = std::from_chars(first, end, value);
        if (result.ec != std::errc() || result.ptr != end || std::isnan(value))
            return std::nullopt;
        return value;
    }

    std::vector<std::string> listItems(const std::string& text)
    {
        std::vector<std::string> items;
        std::size_t from = 0;
        while (from <= text.size()) {
            const std::size_t comma = std::min(text.find(',', from), text.size());
            items.push_back(text.substr(from, comma - from));
            from = comma + 1;
        }
        return items;
    }

    bool validName(const std::string& name)
    {
        if (name.empty() || !(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_'))
            return false;
        return std::all_of(name.begin(), name.end(),
            [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
    }

    /// NAME=V items; valueNeeded false allows a bare NAME. Returns an error text or empty.
    std::string parseNamedValues(const std::string& option, const std::string& text,
        bool valueNeeded, std::vector<NamedValue>& into)
    {
        for (const std::string& item : listItems(text)) {
            const std::size_t equals = item.find('=');
            NamedValue named { item.substr(0, equals), std::nullopt };
            if (!validName(named.name))
                return option + " needs NAME" + (valueNeeded ? "=VALUE" : "[=VALUE]")
                    + " items separated by commas, not '" + item + "'";
            if (equals == std::string::npos) {
                if (valueNeeded)
                    return option + " needs a value for " + named.name + " (" + named.name
                        + "=VALUE)";
            } else {
                named.value = numberOf(std::string_view(item).substr(equals + 1));
                if (!named.value || !std::isfinite(*named.value))
                    return option + ": '" + item.substr(equals + 1)
                        + "' is not a finite number (for " + named.name + ")";
            }
            into.push_back(named);
        }
        return {};
    }

    std::string parseBounds(const std::string& text, std::vector<NamedBounds>& into)
    {
        for (const std::string& item : listItems(text)) {
            const std::size_t equals = item.find('=');
            const std::size_t colon = item.find(':', equals == std::string::npos ? 0 : equals);
            NamedBounds bounds;
            bounds.name = item.substr(0, equals);
            if (!validName(bounds.name) || equals == std::string::npos
                || colon == std::string::npos)
                return "--bounds needs NAME=LO:HI items separated by commas (LO or HI may be "
                       "empty), not '"
                    + item + "'";
            const std::string low = item.substr(equals + 1, colon - equals - 1);
            const std::string high = item.substr(colon + 1);
            const std::optional<double> lo = low.empty() ? bounds.lower : numberOf(low);
            const std::optional<double> hi = high.empty() ? bounds.upper : numberOf(high);
            if (!lo || !hi)
                return "--bounds: '" + item + "' has a bound that is not a number";
            if (!(*lo < *hi))
                return "--bounds: the lower bound of " + bounds.name
                    + " must be below its upper bound";
            bounds.lower = *lo;
            bounds.upper = *hi;
            into.push_back(bounds);
        }
        return {};
    }

    bool namesPlotFormat(const std::filesystem::path& file)
    {
        std::string extension = file.extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(),
            [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return extension == ".png" || extension == ".svg" || extension == ".pdf";
    }

} // namespace

bool asksForEquation(const std::vector<std::string>& arguments)
{
    return std::find(arguments.begin(), arguments.end(), "--equation") != arguments.end();
}

EquationParseResult parseEquationArguments(
    const std::vector<std::string>& arguments, const std::filesystem::path& defaultRoot)
{
    EquationOptions options;
    options.root = core::installRootFrom(defaultRoot.string()).value_or(defaultRoot);
    EquationParseResult result;
    auto fail = [&](const std::string& message) {
        result.error = message;
        return result;
    };
    bool equationGiven = false;
    PlotRequest plot;
    bool plotGiven = false;
    bool plotSizeGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--json") {
            options.json = true;
            continue;
        }
        if (option == "--details") {
            options.details = true;
            continue;
        }
        static const char* const kValued[] { "--root", "--equation", "--start", "--samples",
            "--fix", "--bounds", "--weights", "--threads", "--plot", "--plot-size" };
        if (std::find(std::begin(kValued), std::end(kValued), option) == std::end(kValued))
            return fail("unknown option '" + option + "' for an equation fit");
        if (i + 1 >= arguments.size())
            return fail(option + " needs a value");
        const std::string& value = arguments[++i];
        std::string error;
        if (option == "--root") {
            const std::optional<std::filesystem::path> root = core::installRootFrom(value);
            if (!root)
                return fail(core::kEmptyRootError);
            options.root = *root;
        } else if (option == "--equation") {
            if (equationGiven)
                return fail("--equation is given twice");
            options.equation = value;
            equationGiven = true;
        } else if (option == "--plot") {
            if (!namesPlotFormat(value))
                return fail("--plot FILE must end in .png, .svg or .pdf, not '" + value + "'");
            plot.file = value;
            plotGiven = true;
        } else if (option == "--plot-size") {
            if (!parsePlotSize(value, plot.width, plot.height))
                return fail("--plot-size must be WxH in pixels, each from 16 to 20000, not '"
                    + value + "'");
            plotSizeGiven = true;
        } else if (option == "--start") {
            error = parseNamedValues(option, value, true, options.starts);
        } else if (option == "--fix") {
            error = parseNamedValues(option, value, false, options.fixed);
        } else if (option == "--bounds") {
            error = parseBounds(value, options.bounds);
        } else if (option == "--samples") {
            std::size_t count = 0;
            const auto parsed = std::from_chars(value.data(), value.data() + value.size(), count);
            if (parsed.ec != std::errc() || parsed.ptr != value.data() + value.size() || count == 0)
                return fail(
                    "--samples must be a whole number of groups above 0, not '" + value + "'");
            options.samples = count;
        } else if (option == "--weights") {
            const std::optional<equation::Weighting> weighting = equation::weightingNamed(value);
            if (!weighting)
                return fail("--weights must be none, sigma, inverse-y, inverse-y2 or poisson, not '"
                    + value + "'");
            options.weighting = *weighting;
        } else {
            const std::optional<int> threads = threadCountOf(value);
            if (!threads)
                return fail(threadCountError(value));
            options.threads = *threads;
        }
        if (!error.empty())
            return fail(error);
    }
    if (plotSizeGiven && !plotGiven)
        return fail("--plot-size needs --plot FILE");
    if (plotGiven)
        options.plot = plot;
    result.options = std::move(options);
    return result;
}

} // namespace quantem::cli
