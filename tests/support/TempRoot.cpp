#include "support/TempRoot.h"

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>
#include <unistd.h>

namespace quantem::test {

TempRoot::TempRoot()
{
    static std::atomic<int> counter { 0 };
    std::random_device device;
    m_path = std::filesystem::temp_directory_path()
        / ("quantem-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-"
            + std::to_string(device()));
    std::filesystem::create_directories(m_path / "sys");
    std::filesystem::create_directories(m_path / "sz");
}

TempRoot::~TempRoot()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

void TempRoot::writeSamples(const std::string& text) const { writeFile("data.qtm", text); }

void TempRoot::writeFile(const std::string& relative, const std::string& text) const
{
    std::ofstream out(m_path / relative, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string TempRoot::read(const std::string& relative) const
{
    std::ifstream in(m_path / relative, std::ios::binary);
    if (!in)
        return "<missing>";
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::map<std::string, std::string> TempRoot::scratchFiles() const
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(m_path / "sys"))
        files[entry.path().filename().string()] = readSys(entry.path().filename().string());
    return files;
}

} // namespace quantem::test
