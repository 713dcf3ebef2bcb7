#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace quantem::core {

/// The install root that a command line names, made absolute against the current folder once,
/// at start-up, so that no path built from it later (scratch files, pictures, the help page, the
/// data program's launcher) depends on where the program runs or is read as anything but a
/// file. An empty text names no folder: no value, and the caller reports a usage error.
std::optional<std::filesystem::path> installRootFrom(std::string_view text);

/// The usage error for an --root that names no folder.
inline constexpr const char* kEmptyRootError = "--root needs a folder, not an empty text";

} // namespace quantem::core
