#pragma once

#include "core/ModelCatalogue.h"
#include "core/Session.h"

#include <string>
#include <string_view>

namespace quantem::results {

/// The sentence that says which number of a group is y and which are x1..x3, by arrangement
/// code 1..20; empty for any other code.
std::string_view explanationLine(int arrangement);

/// The arrangement code that 0 stands for: 2, 7 or 18 by the model's group size (x1..xv first,
/// y last); 0 for a model outside 1..50.
int defaultArrangement(core::ModelId model);

/// "Two-Dimension data ", "Three-Dimension data" or "Four-Dimension data " by group size.
std::string_view dimensionText(core::ModelId model);

/// Reports a power-model fit when the variable count changed since the last report (Text1
/// against Text7, which then takes Text1's text) or when meanError is strictly below the best
/// one in JC.sys: stores meanError in JC.sys, composes the report from the labels, Text2, Text4,
/// culi.sys, xx.sys and mb.sys into Text5, and writes xs.sys. A scratch file that cannot be read
/// ends it before anything changes; one that cannot be written is named in Form5. Never throws.
void buildResultReport(core::Session& session, float meanError);

/// Rewrites xs.sys with the model of xx.sys and the shown coefficient texts a0..ae, k1..kk as
/// quoted strings; empty for a model outside 1..50. Never throws.
void writeShownCoefficients(core::Session& session);

} // namespace quantem::results
