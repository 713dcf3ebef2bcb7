#pragma once

#include "core/Session.h"

#include <optional>
#include <string>

namespace quantem::app {

/// After a fit: when the columns of the design of the fit the window shows are linearly
/// dependent (the rank the stable solve of the fit details finds is short of the coefficients),
/// a sentence that names the coefficients that cannot be told apart and says that their
/// published values are not the only ones. No value for a design of full rank or when no
/// finished fit is shown.
std::optional<std::string> singularDesignNotice(const core::Session& session);

} // namespace quantem::app
