#pragma once

#include "equation/EquationFit.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <ostream>
#include <string>

namespace quantem::cli {

/// {"equation": {...}} of a finished fit; NaN and infinity as null.
nlohmann::ordered_json equationJson(
    const equation::Tape& tape, const equation::EquationResult& result, bool details);
/// {"error": {"message", "position"}}; position null when the data are at fault.
nlohmann::ordered_json errorJson(const std::string& message, std::optional<int> position);
/// The fit for a person to read.
void printEquation(const equation::Tape& tape, const equation::EquationResult& result, bool details,
    std::ostream& out);

} // namespace quantem::cli
