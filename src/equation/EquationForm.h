#pragma once

#include "equation/EquationEntry.h"
#include "equation/Formula.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quantem::equation {

/// One parameter's inputs as the user typed them: start, fixed, lower and upper bound (an empty
/// bound is none).
struct ParameterInputs
{
    std::string name;
    std::string start = "1";
    bool fixed = false;
    std::string lower;
    std::string upper;
};

/// The rows for the tape's parameters in the formula's order: what was typed for a name that
/// stays is kept, a new name takes the entry's values when the entry names it, else start 1.
std::vector<ParameterInputs> inputsFor(const Tape& tape, const std::vector<ParameterInputs>& typed,
    const EquationEntry* entry = nullptr);

/// The inputs of an entry's parameters.
std::vector<ParameterInputs> inputsOf(const EquationEntry& entry);

/// A number typed into a cell, in the C locale ("inf" and "-inf" too); none for anything else.
std::optional<double> typedNumber(std::string_view text);

/// The entry the inputs describe, or why they do not describe one (a start or a bound that is
/// not a number, a lower bound not below the upper one), naming the parameter.
struct TypedEntry
{
    std::optional<EquationEntry> entry;
    std::string error;
};
TypedEntry entryFromInputs(const std::string& name, const std::string& formula,
    const std::vector<ParameterInputs>& inputs, Weighting weighting);

/// Two lines that show where the reading of a formula stopped: the formula (tabs and line ends
/// as blanks), and a caret under the character.
std::string caretLines(std::string_view formula, int position);

/// What each group holds, in order ("x, y" or "x1, x2, y, sigma").
std::string groupLayout(const Tape& tape, Weighting weighting);

} // namespace quantem::equation
