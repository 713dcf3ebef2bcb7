#include "cli/ThreadCount.h"

#include <algorithm>
#include <charconv>
#include <thread>

namespace quantem::cli {

int maximumThreads()
{
    return 4 * static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

std::optional<int> threadCountOf(const std::string& text)
{
    int threads = 0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), threads);
    if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size() || threads < 0
        || threads > maximumThreads())
        return std::nullopt;
    return threads;
}

std::string threadCountError(const std::string& text)
{
    return "--threads must be a whole number from 0 (one per core) to "
        + std::to_string(maximumThreads()) + ", not '" + text + "'";
}

} // namespace quantem::cli
