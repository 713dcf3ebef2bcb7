#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quantem::cli {

/// The most threads an option may ask for: a few per core, far below what would exhaust the
/// process or the thread library.
int maximumThreads();

/// The value of --threads (0: one per core), or none when the text is not a whole number from 0
/// to maximumThreads().
std::optional<int> threadCountOf(const std::string& text);

/// The threads a command line asks for: one per core, or more with a valid --threads.
int wantedThreads(const std::vector<std::string>& arguments);

/// Why a --threads value was refused.
std::string threadCountError(const std::string& text);

} // namespace quantem::cli
