#include "equation/EquationForm.h"

#include "core/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace quantem::equation {

namespace {

    std::string trimmed(std::string_view text)
    {
        const std::size_t first = text.find_first_not_of(" \t");
        if (first == std::string_view::npos)
            return {};
        return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
    }

    std::string boundText(double bound)
    {
        return std::isinf(bound) ? std::string() : core::recordNumber(bound);
    }

    const EntryParameter* namedIn(const EquationEntry& entry, const std::string& name)
    {
        const auto found = std::find_if(entry.parameters.begin(), entry.parameters.end(),
            [&](const EntryParameter& p) { return p.name == name; });
        return found == entry.parameters.end() ? nullptr : &*found;
    }

    ParameterInputs inputsOf(const EntryParameter& p)
    {
        return { p.name, core::recordNumber(p.start.value_or(1.0)), p.fixed, boundText(p.lower),
            boundText(p.upper) };
    }

} // namespace

std::vector<ParameterInputs> inputsFor(
    const Tape& tape, const std::vector<ParameterInputs>& typed, const EquationEntry* entry)
{
    std::vector<ParameterInputs> rows;
    for (const std::string& name : tape.parameters) {
        const auto kept = std::find_if(typed.begin(), typed.end(),
            [&](const ParameterInputs& row) { return row.name == name; });
        const EntryParameter* saved = entry != nullptr ? namedIn(*entry, name) : nullptr;
        ParameterInputs row;
        row.name = name;
        if (saved != nullptr)
            row = inputsOf(*saved);
        else if (kept != typed.end())
            row = *kept;
        rows.push_back(row);
    }
    return rows;
}

std::vector<ParameterInputs> inputsOf(const EquationEntry& entry)
{
    std::vector<ParameterInputs> rows;
    for (const EntryParameter& p : entry.parameters)
        rows.push_back(inputsOf(p));
    return rows;
}

std::optional<double> typedNumber(std::string_view text)
{
    const std::string clean = trimmed(text);
    if (clean == "inf" || clean == "+inf")
        return std::numeric_limits<double>::infinity();
    if (clean == "-inf")
        return -std::numeric_limits<double>::infinity();
    const char* first = clean.data();
    const char* end = clean.data() + clean.size();
    if (first != end && *first == '+')
        ++first;
    double value = 0.0;
    const auto result = std::from_chars(first, end, value);
    if (clean.empty() || result.ec != std::errc() || result.ptr != end || std::isnan(value))
        return std::nullopt;
    return value;
}

TypedEntry entryFromInputs(const std::string& name, const std::string& formula,
    const std::vector<ParameterInputs>& inputs, Weighting weighting)
{
    EquationEntry entry { name, formula, {}, weighting };
    for (const ParameterInputs& row : inputs) {
        EntryParameter p;
        p.name = row.name;
        p.fixed = row.fixed;
        const std::optional<double> start = typedNumber(row.start);
        if (!start || !std::isfinite(*start))
            return { std::nullopt,
                "The start value of " + row.name + " is not a finite number: type one, such as 1" };
        p.start = *start;
        const std::optional<double> lower
            = trimmed(row.lower).empty() ? std::optional(p.lower) : typedNumber(row.lower);
        const std::optional<double> upper
            = trimmed(row.upper).empty() ? std::optional(p.upper) : typedNumber(row.upper);
        if (!lower || !upper)
            return { std::nullopt,
                "A bound of " + row.name + " is not a number: type one, or leave it empty" };
        if (!(*lower < *upper))
            return { std::nullopt,
                "The lower bound of " + row.name + " must be below its upper bound" };
        p.lower = *lower;
        p.upper = *upper;
        entry.parameters.push_back(p);
    }
    return { std::move(entry), {} };
}

std::string caretLines(std::string_view formula, int position)
{
    std::string shown(formula);
    std::replace_if(
        shown.begin(), shown.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; },
        ' ');
    const std::size_t column = static_cast<std::size_t>(std::max(position, 1) - 1);
    return shown + "\n" + std::string(std::min(column, shown.size()), ' ') + "^";
}

std::string groupLayout(const Tape& tape, Weighting weighting)
{
    std::string layout;
    for (const std::string& name : tape.variableNames())
        layout += name + ", ";
    layout += "y";
    if (weighting == Weighting::Sigma)
        layout += ", sigma";
    return layout;
}

} // namespace quantem::equation
