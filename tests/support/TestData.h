#pragma once

#include <string>

namespace quantem::test {

/// The bytes of a file under tests/data ("nist/Norris.qtm", "power_model7_report.txt");
/// "<missing>" when it does not exist.
std::string readTestData(const std::string& name);

} // namespace quantem::test
