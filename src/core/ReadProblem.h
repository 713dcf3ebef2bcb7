#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace quantem::core {

/// Why path cannot be read as a regular file, in the system's words ("No such file or
/// directory", "Permission denied", "Is a directory"); no value when it can be opened for
/// reading. Never waits on a pipe or a device and reads none of its bytes.
std::optional<std::string> readProblem(const std::filesystem::path& path);

} // namespace quantem::core
