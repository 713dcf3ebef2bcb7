#pragma once

#include "core/Session.h"

#include <optional>
#include <string>

namespace quantem::app {

/// Before a fit: the sample file is read by count, commas and line ends alike, so a file whose
/// every line holds a count of numbers other than the shown model's group size is read with
/// groups running across its lines. Says so in a sentence that names both counts, looking only
/// at the lines that the fit of Text2 groups reads; no value when the lines agree with the
/// model, differ among themselves, or no model or count is given.
std::optional<std::string> sampleLayoutNotice(const core::Session& session);

/// sampleLayoutNotice, put into status panel 1 as the reason to look before the fit (a reason
/// the fit gives later takes its place). Returns the notice.
std::optional<std::string> noteSampleLayout(core::Session& session);

} // namespace quantem::app
