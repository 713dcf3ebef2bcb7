#pragma once

#include "core/Session.h"

#include <string>
#include <vector>

namespace quantem::cli {

/// Before a run's fit: the notice that the sample file's lines hold another count of numbers
/// than the model's groups (also in status panel 1), as the list of the run's notices begins.
std::vector<std::string> noticesBeforeFit(core::Session& session);

/// After a run that published a fit: adds the notice of a singular design (coefficients that
/// cannot be told apart) to notices. Then, for a power model, refines the fit and, when
/// publishRefined, publishes the refined fit in its place as a continuing step of the run;
/// otherwise adds the notice of a much better optimum to notices. The first notice of the run
/// also goes to status panel 1.
void checkPublishedFit(
    core::Session& session, bool publishRefined, std::vector<std::string>& notices);

} // namespace quantem::cli
