#pragma once

#include <filesystem>
#include <string>

namespace quantem::test {

/// The reference data kept beside the repository (../shared/reference-data): read from there,
/// never copied into the project.
std::filesystem::path referenceDataFolder();
/// The bytes of a file there ("nist/Norris.qtm"); "<missing>" when it does not exist.
std::string readReferenceData(const std::string& name);
/// True when that file is there.
bool hasReferenceData(const std::string& name);
/// Why a test that needs the file skips: `GTEST_SKIP() << missingReferenceData(name)`.
std::string missingReferenceData(const std::string& name);

/// The bytes of a file under tests/data ("nist/Norris.qtm", "power_model7_report.txt");
/// "<missing>" when it does not exist.
std::string readTestData(const std::string& name);

} // namespace quantem::test
