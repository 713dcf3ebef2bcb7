#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace {

// Qt belongs to the views: only qt/ folders and the data program may include it.
bool mayIncludeQt(const std::filesystem::path& relative)
{
    const std::string text = relative.generic_string();
    return text.find("/qt/") != std::string::npos || text.rfind("data_program/", 0) == 0;
}

bool includesQt(const std::string& line)
{
    static const std::regex kQtInclude(
        R"(^\s*#\s*include\s*[<"](Qt[A-Za-z]*/|Q[A-Z][A-Za-z]*[>"]))");
    return std::regex_search(line, kQtInclude);
}

TEST(Layering, QtHeadersOnlyInViewFolders)
{
    const std::filesystem::path source = std::filesystem::path(QUANTEM_SOURCE_DIR) / "src";
    int checked = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(source)) {
        if (!entry.is_regular_file())
            continue;
        const std::filesystem::path relative = entry.path().lexically_relative(source);
        if (mayIncludeQt(relative))
            continue;
        std::ifstream in(entry.path());
        std::string line;
        int number = 0;
        while (std::getline(in, line)) {
            ++number;
            EXPECT_FALSE(includesQt(line))
                << relative.generic_string() << ":" << number << ": " << line;
        }
        ++checked;
    }
    EXPECT_GT(checked, 10);
}

TEST(Layering, RuleRecognisesQtIncludes)
{
    EXPECT_TRUE(includesQt("#include <QWidget>"));
    EXPECT_TRUE(includesQt("#include <QtCore/QString>"));
    EXPECT_FALSE(includesQt("#include \"core/Record.h\""));
    EXPECT_FALSE(includesQt("#include <queue>"));
}

} // namespace
