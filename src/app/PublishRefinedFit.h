#pragma once

#include "analysis/Refinement.h"
#include "core/Session.h"

#include <string>

namespace quantem::app {

/// The line the report gains when a refined fit is published: that the values were refined to
/// the least-squares optimum, from which start, and both sums of squares.
std::string refinedReportLine(const analysis::Refinement& refinement);

/// The user's choice to publish a refined fit of the window's power model in place of the
/// search's: the final evaluation at the refined exponents publishes the labels, XB.sys, xs.sys,
/// the statistics and the report as a search ending there would (JC.sys is reset first, so the
/// report is composed whatever its mean error), and the report gains refinedReportLine.
/// Nothing happens for a refinement that was not accepted or a model without exponents.
/// Returns whether the fit was published.
bool publishRefinedFit(core::Session& session, const analysis::Refinement& refinement);

} // namespace quantem::app
