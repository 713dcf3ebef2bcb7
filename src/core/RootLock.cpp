#include "core/RootLock.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace quantem::core {

namespace {

    constexpr std::chrono::milliseconds kPollInterval { 50 };

    /// The root locks this process holds, by lock file: a nested lock only counts. A child
    /// made by fork inherits the table but not the locks.
    struct HeldLock
    {
        int file;
        int depth;
        pid_t owner;
    };

    std::mutex& heldMutex()
    {
        static std::mutex mutex;
        return mutex;
    }

    std::map<std::string, HeldLock>& heldLocks()
    {
        static std::map<std::string, HeldLock> locks;
        return locks;
    }

    enum class Attempt
    {
        Taken,
        Busy,
        NoLockFile,
    };

    // The holder that a lock file names ("quantem-fit 4121" -> "quantem-fit (process 4121)").
    std::string holderOf(int file)
    {
        char text[256];
        const ssize_t count = ::pread(file, text, sizeof text - 1, 0);
        std::string holder = count > 0 ? std::string(text, static_cast<std::size_t>(count)) : "";
        holder = holder.substr(0, holder.find('\n'));
        const std::size_t space = holder.rfind(' ');
        if (space == std::string::npos || space == 0)
            return "another program"; // the holder has not written its name yet
        return holder.substr(0, space) + " (process " + holder.substr(space + 1) + ")";
    }

    // One try at the lock. The holder removes the file when it lets go, so a lock taken on a
    // file that is no longer at the name is no lock: it is given up and tried again.
    Attempt tryLock(const std::string& path, int& file, std::string& holder)
    {
        file = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
        if (file < 0)
            return Attempt::NoLockFile;
        struct stat opened
        {
        };
        if (::fstat(file, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            ::close(file);
            return Attempt::NoLockFile;
        }
        if (::flock(file, LOCK_EX | LOCK_NB) != 0) {
            const bool busy = errno == EWOULDBLOCK;
            if (busy)
                holder = holderOf(file);
            ::close(file);
            return busy ? Attempt::Busy : Attempt::NoLockFile;
        }
        struct stat named
        {
        };
        if (::lstat(path.c_str(), &named) != 0 || named.st_ino != opened.st_ino
            || named.st_dev != opened.st_dev) {
            ::close(file);
            holder.clear();
            return Attempt::Busy;
        }
        return Attempt::Taken;
    }

    void writeHolder(int file, std::string_view program)
    {
        const std::string text = std::string(program) + " " + std::to_string(::getpid()) + "\n";
        // The name only helps the message of a program that waits; a failure changes nothing.
        if (::ftruncate(file, 0) != 0)
            return;
        const ssize_t written = ::pwrite(file, text.data(), text.size(), 0);
        static_cast<void>(written);
    }

} // namespace

RootLock::RootLock(
    const std::filesystem::path& root, std::string_view program, std::chrono::milliseconds wait)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(root, error);
    m_lockPath = ((error ? root : absolute) / "sys" / "lock").lexically_normal().string();
    {
        const std::lock_guard<std::mutex> guard(heldMutex());
        const auto held = heldLocks().find(m_lockPath);
        if (held != heldLocks().end() && held->second.owner == ::getpid()) {
            ++held->second.depth;
            m_taken = true;
            return;
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::string holder;
    for (;;) {
        int file = -1;
        const Attempt attempt = tryLock(m_lockPath, file, holder);
        if (attempt == Attempt::NoLockFile)
            return; // given without a file: see the class comment
        if (attempt == Attempt::Taken) {
            writeHolder(file, program);
            const std::lock_guard<std::mutex> guard(heldMutex());
            heldLocks()[m_lockPath] = HeldLock { file, 1, ::getpid() };
            m_taken = true;
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(kPollInterval);
    }
    m_refusal = "The install root " + root.string() + " is in use by "
        + (holder.empty() ? std::string("another program") : holder)
        + ": wait until it has finished, then try again.";
}

RootLock::~RootLock()
{
    if (!m_taken)
        return;
    const std::lock_guard<std::mutex> guard(heldMutex());
    const auto held = heldLocks().find(m_lockPath);
    if (held == heldLocks().end() || held->second.owner != ::getpid() || --held->second.depth > 0)
        return;
    // Removed while still held: a program that opened it meanwhile gets its lock only to find
    // the name gone, and takes the lock on the next file.
    ::unlink(m_lockPath.c_str());
    ::close(held->second.file);
    heldLocks().erase(held);
}

} // namespace quantem::core
