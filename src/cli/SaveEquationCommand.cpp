#include "cli/SaveEquationCommand.h"

#include "cli/EquationCommand.h"
#include "cli/FitCommand.h"
#include "equation/EquationLibrary.h"

#include <algorithm>
#include <optional>

namespace quantem::cli {

namespace {

    constexpr const char* kSaveOption = "--save-equation";

    /// The options of a fit that a saved equation does not keep.
    constexpr const char* kFitOnly[] { "--samples", "--threads", "--json", "--details" };

    equation::EntryParameter& parameterNamed(
        equation::EquationEntry& entry, const std::string& name)
    {
        const auto found = std::find_if(entry.parameters.begin(), entry.parameters.end(),
            [&](const equation::EntryParameter& p) { return p.name == name; });
        if (found != entry.parameters.end())
            return *found;
        equation::EntryParameter added;
        added.name = name;
        entry.parameters.push_back(added);
        return entry.parameters.back();
    }

    /// The entry the options describe, its parameters in the order the options first name them.
    equation::EquationEntry entryOf(const std::string& name, const EquationOptions& options)
    {
        equation::EquationEntry entry { name, options.equation, {}, options.weighting };
        for (const NamedValue& start : options.starts)
            parameterNamed(entry, start.name).start = start.value;
        for (const NamedValue& fixed : options.fixed) {
            equation::EntryParameter& p = parameterNamed(entry, fixed.name);
            p.fixed = true;
            if (fixed.value)
                p.start = fixed.value;
        }
        for (const NamedBounds& bounds : options.bounds) {
            equation::EntryParameter& p = parameterNamed(entry, bounds.name);
            p.lower = bounds.lower;
            p.upper = bounds.upper;
        }
        return entry;
    }

    int usageError(const std::string& message, std::ostream& err)
    {
        err << "quantem-fit: " << message << '\n' << kFitUsage << kSaveEquationUsage;
        return kExitUsageError;
    }

} // namespace

bool asksForSavingEquation(const std::vector<std::string>& arguments)
{
    return std::find(arguments.begin(), arguments.end(), kSaveOption) != arguments.end();
}

namespace {

    /// The name and the equation options of --save-equation, or a usage error.
    struct SaveRequest
    {
        std::string name;
        std::optional<EquationOptions> options;
        std::string error;
    };

    SaveRequest parseSaveRequest(
        const std::vector<std::string>& arguments, const std::filesystem::path& defaultRoot)
    {
        SaveRequest request;
        // --save-equation NAME is taken out; the rest are the options of an equation fit.
        std::vector<std::string> rest = arguments;
        const auto option = std::find(rest.begin(), rest.end(), kSaveOption);
        if (option == rest.end() || option + 1 == rest.end()) {
            request.error = std::string(kSaveOption) + " needs a name";
            return request;
        }
        request.name = *(option + 1);
        rest.erase(option, option + 2);
        if (asksForSavingEquation(rest)) {
            request.error = std::string(kSaveOption) + " is given twice";
            return request;
        }
        for (const char* fitOnly : kFitOnly) {
            if (std::find(rest.begin(), rest.end(), fitOnly) != rest.end()) {
                request.error
                    = std::string(fitOnly) + " belongs to a fit, not to saving an equation";
                return request;
            }
        }
        if (!asksForEquation(rest)) {
            request.error = std::string(kSaveOption) + " needs --equation TEXT";
            return request;
        }
        EquationParseResult parsed = parseEquationArguments(rest, defaultRoot);
        request.options = std::move(parsed.options);
        request.error = std::move(parsed.error);
        return request;
    }

} // namespace

std::optional<std::filesystem::path> savingRootOf(
    const std::vector<std::string>& arguments, const std::filesystem::path& defaultRoot)
{
    if (!asksForSavingEquation(arguments))
        return std::nullopt;
    const SaveRequest request = parseSaveRequest(arguments, defaultRoot);
    if (!request.options)
        return std::nullopt;
    return request.options->root;
}

int saveEquationMain(const std::vector<std::string>& arguments,
    const std::filesystem::path& defaultRoot, std::ostream& out, std::ostream& err)
{
    const SaveRequest request = parseSaveRequest(arguments, defaultRoot);
    if (!request.options)
        return usageError(request.error, err);
    const std::string& name = request.name;
    const EquationOptions& options = *request.options;

    const std::filesystem::path& root = options.root;
    if (const std::optional<std::string> missing = missingRootError(root))
        return usageError(*missing, err);
    const equation::LibraryContents before = equation::readEquationLibrary(root);
    if (!before.problem.empty())
        err << "quantem-fit: " << before.problem << '\n';
    const bool replacing = std::any_of(before.entries.begin(), before.entries.end(),
        [&](const equation::EquationEntry& e) { return e.name == name; });
    const std::string refusal = equation::saveEquation(root, entryOf(name, options));
    if (!refusal.empty()) {
        err << "quantem-fit: the equation was not saved: " << refusal << '\n';
        return 1;
    }
    out << (replacing ? "Replaced" : "Saved") << " the equation '" << name << "' in "
        << (root / equation::kEquationLibraryFile).string() << '\n';
    return 0;
}

} // namespace quantem::cli
