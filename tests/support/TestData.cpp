#include "support/TestData.h"

#include <fstream>
#include <sstream>

namespace quantem::test {

namespace {

    std::string readFile(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return "<missing>";
        std::ostringstream content;
        content << in.rdbuf();
        return content.str();
    }

} // namespace

std::string readTestData(const std::string& name)
{
    return readFile(std::filesystem::path(QUANTEM_TEST_DATA) / name);
}

std::filesystem::path referenceDataFolder()
{
    return std::filesystem::path(QUANTEM_REFERENCE_DATA).lexically_normal();
}

std::string readReferenceData(const std::string& name)
{
    return readFile(referenceDataFolder() / name);
}

bool hasReferenceData(const std::string& name)
{
    return std::filesystem::is_regular_file(referenceDataFolder() / name);
}

std::string missingReferenceData(const std::string& name)
{
    return "the reference data " + name + " is not at " + referenceDataFolder().string()
        + "; nothing to compare with";
}

} // namespace quantem::test
