#pragma once

#include "analysis/FitDetails.h"
#include "core/Session.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <ostream>

namespace quantem::cli {

/// The details of the fit the session shows now, refined; no value when there is none. Only the
/// groups of the fit are read from the sample file (core::itemsOfShownFit).
std::optional<analysis::FitDetails> currentDetails(const core::Session& session);

/// The "details" object of a run: fit, stable, refined (or null) and warning (or null), numbers
/// as numbers; a value that does not exist (no degrees of freedom left) is null.
nlohmann::ordered_json detailsJson(const analysis::FitDetails& details);

/// The details as a text section, for after the main text output.
void printDetails(const std::optional<analysis::FitDetails>& details, std::ostream& out);

} // namespace quantem::cli
