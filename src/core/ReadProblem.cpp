#include "core/ReadProblem.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quantem::core {

std::optional<std::string> readProblem(const std::filesystem::path& path)
{
    // Opened as the readers open it, so the reason is the one they met.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return std::string(std::strerror(errno));
    struct stat status
    {
    };
    const bool statted = ::fstat(descriptor, &status) == 0;
    const int statError = errno;
    ::close(descriptor);
    if (!statted)
        return std::string(std::strerror(statError));
    if (S_ISDIR(status.st_mode))
        return std::string(std::strerror(EISDIR));
    if (!S_ISREG(status.st_mode))
        return std::string("not a regular file");
    return std::nullopt;
}

} // namespace quantem::core
