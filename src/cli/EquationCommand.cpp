#include "cli/EquationCommand.h"

#include "cli/EquationOutput.h"
#include "cli/FitCommand.h"
#include "cli/StopSignals.h"
#include "core/ScratchStore.h"
#include "equation/EquationSamples.h"
#include "equation/NumberWords.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <oneapi/tbb/task_arena.h>
#include <optional>

namespace quantem::cli {

namespace {

    using equation::EquationSetup;

    int parameterIndex(const equation::Tape& tape, const std::string& name)
    {
        const auto found = std::find(tape.parameters.begin(), tape.parameters.end(), name);
        return found == tape.parameters.end() ? -1
                                              : static_cast<int>(found - tape.parameters.begin());
    }

    std::string unknownParameter(
        const equation::Tape& tape, const std::string& option, const std::string& name)
    {
        if (equation::isReservedName(name))
            return option + " names " + name
                + ", a function or constant of the formula language, not a parameter";
        std::string known;
        for (const std::string& p : tape.parameters)
            known += (known.empty() ? "" : ", ") + p;
        return option + " names " + name + ", which the formula does not use (its parameters: "
            + (known.empty() ? "none" : known) + ")";
    }

    /// The setup from the options; an error text when they name what the formula lacks.
    std::string setupFrom(const EquationOptions& options, const equation::Tape& tape,
        EquationSetup& setup, std::vector<std::string>& warnings)
    {
        setup.parameters.assign(tape.parameters.size(), {});
        setup.startGiven.assign(tape.parameters.size(), false);
        setup.weighting = options.weighting;
        for (const NamedValue& start : options.starts) {
            const int i = parameterIndex(tape, start.name);
            if (i < 0)
                return unknownParameter(tape, "--start", start.name);
            setup.parameters[static_cast<std::size_t>(i)].start = *start.value;
            setup.startGiven[static_cast<std::size_t>(i)] = true;
        }
        for (const NamedValue& fixed : options.fixed) {
            const int i = parameterIndex(tape, fixed.name);
            if (i < 0)
                return unknownParameter(tape, "--fix", fixed.name);
            analysis::ParameterSetup& p = setup.parameters[static_cast<std::size_t>(i)];
            p.fixed = true;
            if (fixed.value) {
                p.start = *fixed.value;
                setup.startGiven[static_cast<std::size_t>(i)] = true;
            }
        }
        for (const NamedBounds& bounds : options.bounds) {
            const int i = parameterIndex(tape, bounds.name);
            if (i < 0)
                return unknownParameter(tape, "--bounds", bounds.name);
            analysis::ParameterSetup& p = setup.parameters[static_cast<std::size_t>(i)];
            p.lower = bounds.lower;
            p.upper = bounds.upper;
            if (!p.fixed && (p.start < p.lower || p.start > p.upper)) {
                const double inside = std::clamp(p.start, p.lower, p.upper);
                warnings.push_back(bounds.name + "'s start " + equation::numberWords(p.start, 12)
                    + " lies outside its bounds; it started at "
                    + equation::numberWords(inside, 12));
                p.start = inside;
            }
        }
        return {};
    }

    int refuse(const EquationOptions& options, const std::string& message,
        std::optional<int> position, std::ostream& out, std::ostream& err)
    {
        err << "quantem-fit: " << message;
        if (position)
            err << " (at character " << *position << ")";
        err << '\n';
        // The formula with a caret under where its reading stopped.
        if (position && options.equation.find_first_of("\r\n\t") == std::string::npos)
            err << "  " << options.equation << "\n  "
                << std::string(static_cast<std::size_t>(*position - 1), ' ') << "^\n";
        if (options.json)
            out << errorJson(message, position).dump(2) << '\n';
        return 1;
    }

} // namespace

int runEquation(const EquationOptions& options, std::ostream& out, std::ostream& err,
    const EquationPlotWriter& plot)
{
    const equation::CompileResult compiled = equation::compileFormula(options.equation);
    if (!compiled.tape)
        return refuse(options, compiled.error.message, compiled.error.position, out, err);
    const equation::Tape& tape = *compiled.tape;
    EquationSetup setup;
    std::vector<std::string> warnings;
    if (const std::string error = setupFrom(options, tape, setup, warnings); !error.empty())
        return refuse(options, error, std::nullopt, out, err);

    const bool withSigma = options.weighting == equation::Weighting::Sigma;
    // Read through the store like every other reader of the sample file; nothing is written.
    equation::EquationSamples samples = equation::readEquationSamples(
        core::ScratchStore(options.root), tape.variableCount, withSigma, options.samples);
    if (!samples.error.empty())
        return refuse(options, samples.error, std::nullopt, out, err);
    if (!samples.notice.empty())
        warnings.push_back(samples.notice);
    if (const std::string refusal = equation::refusalOf(tape, samples.data, setup);
        !refusal.empty())
        return refuse(options, refusal, std::nullopt, out, err);

    StopSignals stops;
    analysis::DriverControl control;
    control.stopRequested = [&stops] { return stops.received() != 0; };
    // The program holds the thread library to what the system gives (ThreadAllowance), the
    // threads asked for above the cores included.
    tbb::task_arena arena(options.threads > 0 ? options.threads : tbb::task_arena::automatic);
    equation::EquationResult result;
    arena.execute([&] { result = equation::fitEquation(tape, samples.data, setup, control); });
    result.warnings.insert(result.warnings.begin(), warnings.begin(), warnings.end());

    if (options.json)
        out << equationJson(tape, result, options.details)
                   .dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
            << '\n';
    else
        printEquation(tape, result, options.details, out);
    if (stops.received() != 0)
        return stops.exitStatus();
    int status = 0;
    if (!result.converged) {
        err << "quantem-fit: the fit did not converge: " << result.stopReason << '\n';
        status = 1;
    }
    if (options.plot) {
        // Drawn whether or not the fit converged: the plot shows how far it got.
        const std::string failure = plot ? plot(tape, samples.data, result, setup, *options.plot)
                                         : std::string("this program cannot draw plots");
        if (!failure.empty()) {
            err << "quantem-fit: --plot: " << failure << '\n';
            status = 1;
        }
    }
    return status;
}

EquationPlotWriter equationPlotWriterOf(const PlotWriter& plot)
{
    const PlotWriters* writers = plot ? plot.target<PlotWriters>() : nullptr;
    return writers != nullptr ? writers->equation : EquationPlotWriter();
}

int equationMain(const std::vector<std::string>& arguments,
    const std::filesystem::path& defaultRoot, std::ostream& out, std::ostream& err,
    const EquationPlotWriter& plot)
{
    const EquationParseResult parsed = parseEquationArguments(arguments, defaultRoot);
    if (!parsed.options) {
        err << "quantem-fit: " << parsed.error << '\n' << kFitUsage << kEquationUsage;
        return kExitUsageError;
    }
    if (const std::optional<std::string> missing = missingRootError(parsed.options->root)) {
        err << "quantem-fit: " << *missing << '\n';
        return kExitUsageError;
    }
    return runEquation(*parsed.options, out, err, plot);
}

} // namespace quantem::cli
