#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quantem::cli {

/// What `quantem-fit --help` prints: the usage of every form, each option with what it does, the
/// exit statuses and where the man page is.
std::string helpText();

/// What `quantem-fit --version` prints: the program's name and version, one line.
std::string versionText();

/// The text to print when the arguments (after the program name) ask for help (--help, -h) or
/// the version (--version), whichever comes first; nothing otherwise. A word that is the value
/// of an option (`--equation --help`) asks for nothing.
std::optional<std::string> helpOrVersionRequest(const std::vector<std::string>& arguments);

} // namespace quantem::cli
