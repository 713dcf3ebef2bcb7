#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace quantem::test {

/// A symbolic link that someone planted where a file is about to be exported, pointing at a file
/// of theirs (the victim) that an export must never change.
class PlantedLink
{
public:
    /// Writes the victim with its own bytes and plants a link to it at link.
    PlantedLink(std::filesystem::path link, std::filesystem::path victim)
        : m_link(std::move(link))
        , m_victim(std::move(victim))
    {
        std::ofstream(m_victim, std::ios::binary) << kVictimBytes;
        std::filesystem::create_symlink(m_victim, m_link);
    }

    const std::filesystem::path& path() const noexcept { return m_link; }

    /// What the export changed: empty when the victim keeps its bytes, the link is still a link
    /// to it and no temporary file was left beside the link.
    std::string damage() const
    {
        std::ifstream in(m_victim, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        if (bytes.str() != kVictimBytes)
            return "the victim was written";
        std::error_code error;
        if (!std::filesystem::is_symlink(m_link, error)
            || std::filesystem::read_symlink(m_link, error) != m_victim)
            return "the link was replaced";
        for (const auto& entry : std::filesystem::directory_iterator(m_link.parent_path()))
            if (entry.path().filename().string().find(".tmp-") != std::string::npos)
                return "a temporary file was left: " + entry.path().filename().string();
        return {};
    }

private:
    static constexpr const char* kVictimBytes = "not yours to overwrite\n";
    std::filesystem::path m_link;
    std::filesystem::path m_victim;
};

} // namespace quantem::test
