#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace quantem::core {

/// The file-system calls through which a file is rewritten whole. Each call returns the
/// system's error (an errno value in the generic category), or no error. The writes of the
/// program go through one object of this kind, so a test can make any one of them fail.
class FileOperations
{
public:
    virtual ~FileOperations() = default;

    /// Creates path as a new empty file open for writing and sets file to its descriptor.
    /// Fails when anything stands at path already, a symbolic link included: nothing is ever
    /// written through a name that someone else placed. The system's file is held by a lock
    /// (flock) until it is closed, so that no other program's sweep of leftover temporary files
    /// takes it away in the middle of the write.
    virtual std::error_code create(const std::filesystem::path& path, int& file) = 0;
    /// Writes all of bytes to the file, or fails.
    virtual std::error_code write(int file, std::string_view bytes) = 0;
    /// Flushes what was written to the disk.
    virtual std::error_code flush(int file) = 0;
    /// Closes the file; a failed close may mean that written bytes were lost.
    virtual std::error_code close(int file) = 0;
    /// Renames from over to, replacing what stands at to in one step.
    virtual std::error_code rename(
        const std::filesystem::path& from, const std::filesystem::path& to)
        = 0;
    /// Removes the file (a link is removed, not what it points to).
    virtual std::error_code remove(const std::filesystem::path& path) = 0;
};

/// The operating system's calls.
FileOperations& systemFileOperations();

} // namespace quantem::core
