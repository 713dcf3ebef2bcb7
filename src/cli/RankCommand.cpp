#include "cli/RankCommand.h"

#include "cli/FitCommand.h"
#include "cli/OutOfMemory.h"
#include "cli/StopSignals.h"
#include "cli/ThreadCount.h"
#include "core/Fault.h"
#include "core/InstallRootPath.h"
#include "core/NumberText.h"
#include "core/SamplePrefix.h"
#include "core/ScratchStore.h"
#include "equation/EquationLibrary.h"
#include "ranking/Ranking.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <iomanip>
#include <variant>

namespace quantem::cli {

using ranking::RankRow;
using ranking::Statistic;

namespace {

    // The names other programs read; the JSON keys and the CSV header alike. The equation
    // column follows the model column only where a saved equation was ranked, so the output of
    // a root without a library stays as it always was.
    // clang-format off
    constexpr const char* kColumns[] {
        "rank", "model", "elements", "formula", "parameters", "R", "F", "S", "biggest_error",
        "mean_error", "mean_relative_error", "aicc", "bic", "refined_aicc", "refined_mean_error",
        "message",
    };
    // clang-format on
    constexpr const char* kEquationColumn = "equation";
    constexpr std::size_t kEquationPlace = 2;

    std::vector<std::string> columns(bool withEquation)
    {
        std::vector<std::string> names(std::begin(kColumns), std::end(kColumns));
        if (withEquation)
            names.insert(names.begin() + kEquationPlace, kEquationColumn);
        return names;
    }

    bool anyEquation(const std::vector<RankRow>& rows)
    {
        return std::any_of(
            rows.begin(), rows.end(), [](const RankRow& row) { return row.equation; });
    }

    bool parseWhole(const std::string& text, int lowest, int& value)
    {
        const char* end = text.data() + text.size();
        const auto result = std::from_chars(text.data(), end, value);
        return result.ec == std::errc() && result.ptr == end && value >= lowest;
    }

    /// One value of a row: none, a whole number, a number or a text.
    using Cell = std::variant<std::monostate, long, double, std::string>;

    Cell numberCell(const std::optional<double>& value)
    {
        return value ? Cell { *value } : Cell {};
    }

    std::vector<Cell> cellsOf(const RankRow& row, std::size_t rank, bool withEquation)
    {
        const std::string message = row.message();
        std::vector<Cell> cells {
            Cell { static_cast<long>(rank) },
            row.equation ? Cell {} : Cell { static_cast<long>(row.choice.model) },
            row.choice.elements ? Cell { static_cast<long>(*row.choice.elements) } : Cell {},
            Cell { row.formula },
            Cell { static_cast<long>(row.parameters) },
            numberCell(row.statistic(Statistic::R)),
            numberCell(row.statistic(Statistic::F)),
            numberCell(row.statistic(Statistic::S)),
            numberCell(row.statistic(Statistic::BiggestError)),
            numberCell(row.statistic(Statistic::MeanError)),
            numberCell(row.statistic(Statistic::MeanRelativeError)),
            numberCell(row.aicc),
            numberCell(row.bic),
            numberCell(row.refinedAicc),
            numberCell(row.refinedMeanError),
            message.empty() ? Cell {} : Cell { message },
        };
        if (withEquation)
            cells.insert(
                cells.begin() + kEquationPlace, row.equation ? Cell { *row.equation } : Cell {});
        return cells;
    }

    nlohmann::ordered_json jsonOf(const Cell& cell)
    {
        if (const auto* whole = std::get_if<long>(&cell))
            return *whole;
        if (const auto* number = std::get_if<double>(&cell))
            return *number;
        if (const auto* text = std::get_if<std::string>(&cell))
            return *text;
        return nullptr;
    }

    std::string csvField(const Cell& cell)
    {
        if (const auto* whole = std::get_if<long>(&cell))
            return std::to_string(*whole);
        if (const auto* number = std::get_if<double>(&cell))
            return core::recordNumber(*number);
        const auto* text = std::get_if<std::string>(&cell);
        if (text == nullptr)
            return {};
        std::string quoted = "\"";
        for (char c : *text)
            quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        return quoted + "\"";
    }

    std::string shown(const std::optional<double>& value)
    {
        return value ? core::doubleText(*value) : std::string("-");
    }

} // namespace

bool asksForRanking(const std::vector<std::string>& arguments)
{
    return std::find(arguments.begin(), arguments.end(), "--rank") != arguments.end();
}

RankParseResult parseRankArguments(
    const std::vector<std::string>& arguments, const std::filesystem::path& defaultRoot)
{
    RankOptions options;
    options.root = defaultRoot;
    RankParseResult result;
    auto fail = [&](const std::string& message) {
        result.error = message;
        return result;
    };
    bool samplesGiven = false;
    bool formatGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--rank")
            continue;
        if (option == "--json" || option == "--csv") {
            const RankFormat format = option == "--json" ? RankFormat::Json : RankFormat::Csv;
            if (formatGiven && format != options.format)
                return fail("--json and --csv exclude each other");
            formatGiven = true;
            options.format = format;
            continue;
        }
        if (option != "--root" && option != "--samples" && option != "--group-size"
            && option != "--power" && option != "--threads")
            return fail("unknown option '" + option + "' for --rank");
        if (i + 1 >= arguments.size())
            return fail(option + " needs a value");
        const std::string& value = arguments[++i];
        if (option == "--root") {
            const std::optional<std::filesystem::path> root = core::installRootFrom(value);
            if (!root)
                return fail(core::kEmptyRootError);
            options.root = *root;
        } else if (option == "--samples") {
            options.samples = value;
            samplesGiven = true;
        } else if (option == "--power") {
            options.power = value;
        } else if (option == "--group-size") {
            if (!parseWhole(value, 2, options.groupSize) || options.groupSize > kMaxGroupSize)
                return fail("--group-size must be a whole number from 2 to "
                    + std::to_string(kMaxGroupSize) + ", not '" + value + "'");
        } else {
            const std::optional<int> threads = threadCountOf(value);
            if (!threads)
                return fail(threadCountError(value));
            options.threads = *threads;
        }
    }
    if (!samplesGiven)
        return fail("--rank needs --samples N");
    result.options = std::move(options);
    return result;
}

void printRankJson(const std::vector<RankRow>& rows, std::ostream& out)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const bool withEquation = rows[i].equation.has_value();
        const std::vector<Cell> cells = cellsOf(rows[i], i + 1, withEquation);
        const std::vector<std::string> names = columns(withEquation);
        nlohmann::ordered_json row;
        for (std::size_t c = 0; c < cells.size(); ++c)
            row[names[c]] = jsonOf(cells[c]);
        // A list, which a CSV cell cannot hold: the CSV keeps the columns other programs read.
        row["notices"] = rows[i].notices;
        list.push_back(std::move(row));
    }
    out << nlohmann::ordered_json { { "rows", list } }.dump(
        2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
        << '\n';
}

void printRankCsv(const std::vector<RankRow>& rows, std::ostream& out)
{
    const bool withEquation = anyEquation(rows);
    const std::vector<std::string> names = columns(withEquation);
    for (std::size_t c = 0; c < names.size(); ++c)
        out << (c > 0 ? "," : "") << names[c];
    out << '\n';
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::vector<Cell> cells = cellsOf(rows[i], i + 1, withEquation);
        for (std::size_t c = 0; c < cells.size(); ++c)
            out << (c > 0 ? "," : "") << csvField(cells[c]);
        out << '\n';
    }
}

void printRankText(const std::vector<RankRow>& rows, std::ostream& out)
{
    out << std::left << std::setw(5) << "rank" << std::setw(7) << "model" << std::setw(4) << "n"
        << std::setw(4) << "p" << std::setw(22) << "AICc" << std::setw(15) << "mean error"
        << std::setw(22) << "R"
        << "formula / message\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const RankRow& row = rows[i];
        const std::string message = row.message();
        // A saved equation has no model number: its name stands before its formula.
        const std::string formula = row.equation ? *row.equation + ": " + row.formula : row.formula;
        out << std::setw(5) << i + 1 << std::setw(7)
            << (row.equation ? std::string("-") : std::to_string(row.choice.model)) << std::setw(4)
            << (row.choice.elements ? std::to_string(*row.choice.elements) : "") << std::setw(4)
            << row.parameters << std::setw(22) << shown(row.aicc) << std::setw(15)
            << row.statisticTexts[static_cast<std::size_t>(Statistic::MeanError)] << std::setw(22)
            << row.statisticTexts[static_cast<std::size_t>(Statistic::R)]
            << (message.empty() ? formula : formula + "  [" + message + "]") << '\n';
    }
}

namespace {

    /// Reads the first items of the root's sample file, those the runs take, into input; true
    /// when that went well or there is no sample file, else says on err why and gives false.
    bool readSampleStart(const RankOptions& options, std::size_t items,
        ranking::RankingInput& input, std::ostream& err)
    {
        // Read through the store like every other reader of the sample file; nothing is written.
        std::unique_ptr<core::ByteSource> source
            = core::ScratchStore(options.root).open(core::ScratchFile::Data);
        if (!source)
            return true;
        try {
            input.sampleFile = core::readSamplePrefix(std::move(source), items).bytes;
            return true;
        } catch (const core::Fault& fault) {
            err << "quantem-fit: data.qtm cannot be read (" << fault.what()
                << "): check the file and its disk, then rank again\n";
            return false;
        }
    }

    void printRows(const std::vector<RankRow>& rows, RankFormat format, std::ostream& out)
    {
        switch (format) {
        case RankFormat::Json:
            printRankJson(rows, out);
            break;
        case RankFormat::Csv:
            printRankCsv(rows, out);
            break;
        case RankFormat::Text:
            printRankText(rows, out);
            break;
        }
    }

} // namespace

int runRanking(const RankOptions& options, std::ostream& out, std::ostream& err)
{
    // A signal stops the runs going on and skips the others; the rows finished are printed.
    ranking::RankingControl control;
    StopSignals stops;
    stops.alsoSet(control.stopRequest());
    const equation::LibraryContents library = equation::readEquationLibrary(options.root);
    if (!library.problem.empty())
        err << "quantem-fit: " << library.problem << '\n';
    ranking::RankingInput input;
    input.samples = options.samples;
    input.power = options.power;
    // Only the groups the runs take are read, however long the file.
    if (!readSampleStart(options, ranking::itemsOfRanking(input, options.groupSize), input, err))
        return 1;
    const std::vector<ranking::ModelChoice> plan
        = ranking::rankingPlan(options.groupSize, ranking::sampleCountOf(input));
    const std::vector<equation::EquationEntry> equations
        = ranking::equationsForGroupSize(library.entries, options.groupSize);
    const std::vector<RankRow> rows
        = ranking::rankModels(input, plan, options.threads, &control, equations);
    printRows(rows, options.format, out);
    if (const std::size_t starved = control.outOfMemory(); starved != 0) {
        err << "quantem-fit: --rank: " << starved << " of the " << plan.size() + equations.size()
            << " runs had not enough memory and have no row: free some memory or raise the "
               "limit (ulimit -v), or rank fewer groups\n";
    }
    if (stops.received() != 0)
        return stops.exitStatus();
    const bool anyFitted
        = std::any_of(rows.begin(), rows.end(), [](const RankRow& row) { return row.fitted(); });
    return anyFitted && control.outOfMemory() == 0 ? 0 : 1;
}

int rankMain(const std::vector<std::string>& arguments, const std::filesystem::path& defaultRoot,
    std::ostream& out, std::ostream& err)
{
    const RankParseResult parsed = parseRankArguments(arguments, defaultRoot);
    if (!parsed.options) {
        err << "quantem-fit: " << parsed.error << '\n' << kRankUsage;
        return 2;
    }
    if (const std::optional<std::string> missing = missingRootError(parsed.options->root)) {
        err << "quantem-fit: " << *missing << '\n';
        return kExitUsageError;
    }
    return unlessOutOfMemory([&] { return runRanking(*parsed.options, out, err); }, out, err);
}

} // namespace quantem::cli
