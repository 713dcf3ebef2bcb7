#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

namespace quantem::core {

/// How long a program waits for another to leave the install root before it refuses.
inline constexpr std::chrono::milliseconds kRootLockWait { 3000 };

/// One program at a time on an install root: an exclusive lock (flock) on root/sys/lock, which
/// names its holder (program name and process id) and is removed when it is released. Locks of
/// one process on one root nest: only the outermost takes and releases the file's lock.
///
/// Where the lock file cannot be made at all (no sys/ folder, a root that may not be written,
/// anything but a regular file at its name) the lock is given without it: such a root takes no
/// scratch file either, and every write says so itself.
class RootLock
{
public:
    /// Takes the lock of root for the program named, waiting up to wait while another program
    /// holds it. Never throws.
    RootLock(const std::filesystem::path& root, std::string_view program,
        std::chrono::milliseconds wait = kRootLockWait);
    ~RootLock();
    RootLock(const RootLock&) = delete;
    RootLock& operator=(const RootLock&) = delete;

    /// True when another program held the root all the while: the caller must not go on.
    bool refused() const noexcept { return !m_refusal.empty(); }
    /// The sentence that says which program holds the root and what to do; empty when taken.
    const std::string& refusal() const noexcept { return m_refusal; }

private:
    std::string m_lockPath;
    bool m_taken = false;
    std::string m_refusal;
};

} // namespace quantem::core
