#pragma once

#include <functional>
#include <ostream>

namespace quantem::cli {

/// What a command says when the system could not give it the memory it needed.
inline constexpr const char* kOutOfMemoryText
    = "there was not enough memory to finish the command: free some memory or raise the limit "
      "(ulimit -v), or ask for fewer groups";

/// Runs command and returns its status. When it runs out of memory (std::bad_alloc), what it
/// wrote on out so far is flushed, err says so, and the status is 1.
int unlessOutOfMemory(const std::function<int()>& command, std::ostream& out, std::ostream& err);

} // namespace quantem::cli
