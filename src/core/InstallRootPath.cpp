#include "core/InstallRootPath.h"

#include <system_error>

namespace quantem::core {

std::optional<std::filesystem::path> installRootFrom(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(text, error);
    // Without a current folder a relative root cannot be placed anywhere.
    if (error)
        return std::nullopt;
    return absolute.lexically_normal();
}

} // namespace quantem::core
