#include "core/ByteSource.h"

#include "core/Fault.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quantem::core {

std::size_t StringSource::read(char* buffer, std::size_t size)
{
    const std::size_t count = std::min(size, m_text.size() - m_next);
    std::memcpy(buffer, m_text.data() + m_next, count);
    m_next += count;
    return count;
}

DescriptorSource::~DescriptorSource() { ::close(m_descriptor); }

std::size_t DescriptorSource::read(char* buffer, std::size_t size)
{
    while (true) {
        const ssize_t count = ::read(m_descriptor, buffer, size);
        if (count >= 0)
            return static_cast<std::size_t>(count);
        if (errno != EINTR)
            throw Fault(FaultCode::PathFileAccessError, std::strerror(errno));
    }
}

std::unique_ptr<ByteSource> openRegularFile(const std::string& path)
{
    // Without O_NONBLOCK, opening a pipe would wait for a writer that may never come.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    struct stat status
    {
    };
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return nullptr;
    }
    return std::make_unique<DescriptorSource>(descriptor, static_cast<std::size_t>(status.st_size));
}

} // namespace quantem::core
