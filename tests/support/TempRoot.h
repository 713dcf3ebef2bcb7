#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace quantem::test {

/// A fresh install root with an empty scratch directory, removed at the end of the test.
class TempRoot
{
public:
    TempRoot();
    ~TempRoot();
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    const std::filesystem::path& path() const noexcept { return m_path; }
    std::filesystem::path sys(const std::string& name) const { return m_path / "sys" / name; }

    /// Writes data.qtm with exactly this text.
    void writeSamples(const std::string& text) const;
    /// Writes any file under the root with exactly this text.
    void writeFile(const std::string& relative, const std::string& text) const;
    /// The bytes of a file under the root; "<missing>" when it does not exist.
    std::string read(const std::string& relative) const;
    /// The bytes of a scratch file; "<missing>" when it does not exist.
    std::string readSys(const std::string& name) const { return read("sys/" + name); }
    /// Every scratch file by name with its bytes: what a run must leave as it was.
    std::map<std::string, std::string> scratchFiles() const;

private:
    std::filesystem::path m_path;
};

} // namespace quantem::test
