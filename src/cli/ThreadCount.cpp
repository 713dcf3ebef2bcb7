#include "cli/ThreadCount.h"

#include <algorithm>
#include <charconv>
#include <oneapi/tbb/info.h>
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

int wantedThreads(const std::vector<std::string>& arguments)
{
    int wanted = tbb::info::default_concurrency();
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] != "--threads")
            continue;
        if (const std::optional<int> count = threadCountOf(arguments[i + 1]); count && *count > 0)
            wanted = std::max(wanted, *count);
    }
    return std::max(wanted, 1);
}

} // namespace quantem::cli
