#include "support/TestData.h"

#include <fstream>
#include <sstream>

namespace quantem::test {

std::string readTestData(const std::string& name)
{
    std::ifstream in(std::string(QUANTEM_TEST_DATA) + "/" + name, std::ios::binary);
    if (!in)
        return "<missing>";
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

} // namespace quantem::test
