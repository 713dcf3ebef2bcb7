#pragma once

#include "equation/EquationEntry.h"

#include <string_view>
#include <vector>

namespace quantem::equation {

/// The equations a scientist reaches for first (exponential decay, logistic, Michaelis-Menten,
/// Gaussian peak, ...), formulas in x with readable parameter names and start values of their
/// own. They are not the user's entries: a saved equation cannot take a template's name.
const std::vector<EquationEntry>& equationTemplates();

/// True when name is a template's, letter case aside.
bool isTemplateName(std::string_view name);

/// The template with start values read from the data (variables[0] as x, and y): levels,
/// crossings, the peak and its half width. Where the data cannot tell (too few points, a level
/// never reached), the template's own starts stay. An entry that is no template comes back as
/// it was.
EquationEntry templateWithStarts(const EquationEntry& templ, const EquationData& data);

} // namespace quantem::equation
