#pragma once

#include "core/Session.h"

#include <string>
#include <string_view>

namespace quantem::app {

/// The program's name as the main window's title ends with it.
inline constexpr std::string_view kProgramTitle = "Quantem - QTM";

/// The main window's title: the chosen model with its formula (when one is chosen) and the
/// install root, then the program's name, so that two windows on two roots can be told apart
/// and the desktop, which adds the name to a title not ending with it, does not add it twice.
std::string mainWindowTitle(const core::Session& session);

} // namespace quantem::app
