#include "core/FileOperations.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace quantem::core {

namespace {

    std::error_code lastError() { return { errno, std::generic_category() }; }

    class SystemFileOperations final : public FileOperations
    {
    public:
        std::error_code create(const std::filesystem::path& path, int& file) override
        {
            // O_EXCL refuses any existing name, O_NOFOLLOW even a link to nowhere; the mode
            // leaves the user's umask to decide, as for any file the user makes.
            file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (file < 0)
                return lastError();
            // Nobody else has the new file yet, so the lock is free; a file system without locks
            // leaves the file unheld, as before.
            ::flock(file, LOCK_EX | LOCK_NB);
            return {};
        }

        std::error_code write(int file, std::string_view bytes) override
        {
            while (!bytes.empty()) {
                const ssize_t written = ::write(file, bytes.data(), bytes.size());
                if (written < 0) {
                    if (errno == EINTR)
                        continue;
                    return lastError();
                }
                bytes.remove_prefix(static_cast<std::size_t>(written));
            }
            return {};
        }

        std::error_code flush(int file) override
        {
            return ::fsync(file) != 0 ? lastError() : std::error_code();
        }

        std::error_code close(int file) override
        {
            return ::close(file) != 0 ? lastError() : std::error_code();
        }

        std::error_code rename(
            const std::filesystem::path& from, const std::filesystem::path& to) override
        {
            return std::rename(from.c_str(), to.c_str()) != 0 ? lastError() : std::error_code();
        }

        std::error_code remove(const std::filesystem::path& path) override
        {
            return ::unlink(path.c_str()) != 0 ? lastError() : std::error_code();
        }
    };

} // namespace

FileOperations& systemFileOperations()
{
    static SystemFileOperations operations;
    return operations;
}

} // namespace quantem::core
