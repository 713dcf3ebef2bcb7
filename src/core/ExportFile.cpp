#include "core/ExportFile.h"

#include "core/AtomicFile.h"

#include <sys/stat.h>

namespace quantem::core {

std::string exportDestinationRefusal(const std::filesystem::path& path)
{
    // The name itself, not what it leads to: a link is refused whatever it points at.
    struct stat status
    {
    };
    if (::lstat(path.c_str(), &status) != 0)
        return {}; // nothing there; anything else that keeps the name from us, the write tells
    if (S_ISLNK(status.st_mode))
        return "it is a symbolic link, and nothing is written through one: choose another name, "
               "or remove the link first";
    if (S_ISDIR(status.st_mode))
        return "it is a folder: choose a file name";
    if (!S_ISREG(status.st_mode))
        return "it is not a regular file but a device, a pipe or a socket: choose another name";
    return {};
}

ExportOutcome writeExportFile(
    const std::filesystem::path& path, std::string_view bytes, FileOperations& operations)
{
    std::string refusal = exportDestinationRefusal(path);
    if (!refusal.empty())
        return { std::move(refusal) };
    // The rename replaces the name, never what a link planted after the check points at.
    const std::error_code error = replaceFileWhole(path, bytes, operations);
    return { error ? error.message() : std::string() };
}

} // namespace quantem::core
