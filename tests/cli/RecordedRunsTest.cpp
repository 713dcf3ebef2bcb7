#include "cli/FitCommand.h"
#include "support/TempRoot.h"
#include "support/TestData.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// Runs recorded from an independent model of the program, replayed through the fit command: the
// exit status, the printed fields and message windows, and every scratch file must agree to the
// byte. A guard for every change to the engines, the store and the commands.

namespace quantem::cli {
namespace {

    using Json = nlohmann::json;

    const std::string kCases = "recorded-runs/cases.jsonl";

    std::vector<Json> recordedCases()
    {
        std::ifstream in(test::referenceDataFolder() / kCases);
        std::vector<Json> cases;
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty())
                cases.push_back(Json::parse(line));
        }
        return cases;
    }

    std::map<std::string, std::string> scratchFiles(const std::filesystem::path& root)
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(root / "sys")) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream content;
            content << in.rdbuf();
            files["sys/" + entry.path().filename().string()] = content.str();
        }
        return files;
    }

    /// The first difference between a recorded run's Form1 and ours, or "". Status panels 1-3
    /// hold the date, the time and notices, so only panels 4-7 are compared.
    std::string formDifference(const Json& recorded, const Json& actual)
    {
        for (const auto& [key, value] : recorded.items()) {
            if (!actual.contains(key))
                return key + " missing";
            if (key == "StatusBar1") {
                for (std::size_t panel = 3; panel < value.size(); ++panel) {
                    if (actual[key].size() <= panel || actual[key][panel] != value[panel])
                        return "StatusBar1 panel " + std::to_string(panel + 1) + ": "
                            + value[panel].dump() + " recorded, "
                            + (actual[key].size() > panel ? actual[key][panel].dump() : "none");
                }
            } else if (actual[key] != value) {
                return key + ": " + value.dump() + " recorded, " + actual[key].dump();
            }
        }
        return {};
    }

    /// The first difference between the recorded message windows and ours; keys we add (a reason
    /// beside a window) are not compared.
    std::string dialogDifference(const Json& recorded, const Json& actual)
    {
        if (recorded.size() != actual.size())
            return "dialogs: " + recorded.dump() + " recorded, " + actual.dump();
        for (std::size_t i = 0; i < recorded.size(); ++i) {
            for (const auto& [key, value] : recorded[i].items()) {
                if (!actual[i].contains(key) || actual[i][key] != value)
                    return "dialog " + std::to_string(i + 1) + " " + key + ": " + value.dump()
                        + " recorded, " + actual[i].dump();
            }
        }
        return {};
    }

    std::string replay(const Json& recorded)
    {
        test::TempRoot root;
        for (const auto& [relative, text] : recorded["before"].items())
            root.writeFile(relative, text.get<std::string>());
        std::vector<std::string> arguments { "--root", root.path().string(), "--json" };
        for (const auto& argument : recorded["args"])
            arguments.push_back(argument.get<std::string>());
        std::ostringstream out;
        std::ostringstream err;
        const int status = fitMain(arguments, "/nonexistent", out, err);
        if (status != recorded["exit"].get<int>())
            return "exit " + std::to_string(status) + ", recorded " + recorded["exit"].dump()
                + "; stderr: " + err.str();
        const Json output = Json::parse(out.str());
        const Json& runs = recorded["output"]["runs"];
        if (output["runs"].size() != runs.size())
            return "run count differs";
        for (std::size_t i = 0; i < runs.size(); ++i) {
            std::string difference = formDifference(runs[i]["Form1"], output["runs"][i]["Form1"]);
            if (difference.empty())
                difference = dialogDifference(runs[i]["dialogs"], output["runs"][i]["dialogs"]);
            if (!difference.empty())
                return "run " + std::to_string(i + 1) + ": " + difference;
        }
        const std::map<std::string, std::string> files = scratchFiles(root.path());
        for (const auto& [relative, text] : recorded["after"].items()) {
            const auto found = files.find(relative);
            if (found == files.end())
                return relative + " missing";
            if (found->second != text.get<std::string>())
                return relative + ": " + Json(text).dump() + " recorded, "
                    + Json(found->second).dump();
        }
        for (const auto& [relative, text] : files) {
            if (!recorded["after"].contains(relative))
                return relative + " written, not in the recording";
        }
        return {};
    }

    const std::vector<Json>& allCases()
    {
        static const std::vector<Json> cases = recordedCases();
        return cases;
    }

    class RecordedRuns : public ::testing::TestWithParam<std::size_t>
    {
    protected:
        void SetUp() override
        {
            if (!test::hasReferenceData(kCases))
                GTEST_SKIP() << test::missingReferenceData(kCases);
        }
    };

    TEST_P(RecordedRuns, AgreesToTheByte)
    {
        ASSERT_EQ(allCases().size(), 300U);
        const Json& recorded = allCases()[GetParam()];
        const std::string difference = replay(recorded);
        EXPECT_TRUE(difference.empty())
            << recorded["name"].get<std::string>() << " (" << recorded["kind"].get<std::string>()
            << ", " << recorded["args"].dump() << "): " << difference;
    }

    INSTANTIATE_TEST_SUITE_P(Cases, RecordedRuns, ::testing::Range<std::size_t>(0, 300),
        [](const ::testing::TestParamInfo<std::size_t>& param) {
            // Without the recordings the cases keep names of the same form, and skip.
            char numbered[16];
            std::snprintf(numbered, sizeof numbered, "run-%03zu", param.param + 1);
            std::string name = param.param < allCases().size()
                ? allCases()[param.param]["name"].get<std::string>()
                : std::string(numbered);
            for (char& c : name) {
                if (c == '-')
                    c = '_';
            }
            return name;
        });

} // namespace
} // namespace quantem::cli
