#include "core/AtomicFile.h"

#include "core/Fault.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/random.h>
#include <unistd.h>

namespace quantem::core {

namespace {

    constexpr std::string_view kTemporaryMark = ".tmp-";
    constexpr std::size_t kSuffixLength = 6;
    constexpr std::string_view kSuffixLetters
        = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    // Each try meets a name someone else holds only by chance or by a guess; give up in the end
    // rather than loop for ever.
    constexpr int kCreateTries = 64;

    std::string randomSuffix()
    {
        std::array<unsigned char, kSuffixLength> bytes {};
        if (::getrandom(bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
            std::random_device device;
            for (unsigned char& byte : bytes)
                byte = static_cast<unsigned char>(device());
        }
        std::string suffix;
        for (unsigned char byte : bytes)
            suffix += kSuffixLetters[byte % kSuffixLetters.size()];
        return suffix;
    }

    std::string temporaryName(const std::filesystem::path& target)
    {
        return "." + target.filename().string() + std::string(kTemporaryMark) + randomSuffix();
    }

    // Whether a running writer still holds a temporary file: each holds a lock on its own from
    // creating it to closing it. Only regular files are asked, so no device is ever opened.
    bool heldByAWriter(const std::filesystem::path& path)
    {
        const int file = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (file < 0)
            return false;
        const bool held = ::flock(file, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        ::close(file);
        return held;
    }

    [[noreturn]] void cannotWrite(const std::filesystem::path& path, std::error_code error)
    {
        throw Fault(FaultCode::PathFileAccessError,
            "Cannot write " + path.string() + ": " + error.message());
    }

} // namespace

std::error_code replaceFileWhole(
    const std::filesystem::path& path, std::string_view content, FileOperations& operations)
{
    const std::filesystem::path folder = path.parent_path();
    std::filesystem::path temporary;
    int file = -1;
    std::error_code error;
    for (int tries = 0; tries < kCreateTries; ++tries) {
        temporary = folder / temporaryName(path);
        error = operations.create(temporary, file);
        if (error != std::errc::file_exists)
            break;
    }
    if (error)
        return error;

    error = operations.write(file, content);
    if (!error)
        error = operations.flush(file);
    // The file is closed whatever happened; a failed close can lose what was written.
    const std::error_code closeError = operations.close(file);
    if (!error)
        error = closeError;
    if (!error)
        error = operations.rename(temporary, path);
    // A cut-short temporary file must never take the place of the good one.
    if (error)
        operations.remove(temporary);
    return error;
}

void writeFileAtomically(
    const std::filesystem::path& path, std::string_view content, FileOperations& operations)
{
    if (const std::error_code error = replaceFileWhole(path, content, operations))
        cannotWrite(path, error);
}

bool isTemporaryFileOf(std::string_view name, std::string_view target)
{
    const std::size_t prefixLength = 1 + target.size() + kTemporaryMark.size();
    if (name.size() != prefixLength + kSuffixLength || name.front() != '.'
        || name.substr(1, target.size()) != target
        || name.substr(1 + target.size(), kTemporaryMark.size()) != kTemporaryMark)
        return false;
    return name.substr(prefixLength).find_first_not_of(kSuffixLetters) == std::string_view::npos;
}

std::size_t removeLeftTemporaryFiles(const std::filesystem::path& folder,
    const std::vector<std::string>& targets, FileOperations& operations)
{
    std::size_t removed = 0;
    std::error_code error;
    std::vector<std::filesystem::path> left;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        bool matches = false;
        for (const std::string& target : targets)
            matches = matches || isTemporaryFileOf(name, target);
        if (!matches)
            continue;
        // A folder of such a name is no file of ours; a link is removed, not what it points to.
        std::error_code statusError;
        const std::filesystem::file_type type = entry->symlink_status(statusError).type();
        if (statusError || type == std::filesystem::file_type::directory)
            continue;
        if (type == std::filesystem::file_type::regular && heldByAWriter(entry->path()))
            continue;
        left.push_back(entry->path());
    }
    for (const std::filesystem::path& path : left) {
        if (!operations.remove(path))
            ++removed;
    }
    return removed;
}

} // namespace quantem::core
