#pragma once

#include "equation/EquationFit.h"
#include "equation/Weighting.h"

#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace quantem::equation {

/// How a saved equation sets up one parameter: no start means the default 1.
struct EntryParameter
{
    std::string name;
    std::optional<double> start;
    bool fixed = false;
    double lower = -std::numeric_limits<double>::infinity();
    double upper = std::numeric_limits<double>::infinity();

    bool operator==(const EntryParameter&) const = default;
};

/// An equation the user saved under a name (or a template): its formula in x or x1..xk and how
/// its fit starts.
struct EquationEntry
{
    std::string name;
    std::string formula;
    std::vector<EntryParameter> parameters;
    Weighting weighting = Weighting::None;

    bool operator==(const EquationEntry&) const = default;
};

/// The setup of the tape's parameters from the entry: a parameter the entry does not name
/// starts at 1; entries for names the formula lacks are ignored; a start outside its bounds is
/// moved onto the nearer bound.
EquationSetup setupOf(const Tape& tape, const EquationEntry& entry);

} // namespace quantem::equation
