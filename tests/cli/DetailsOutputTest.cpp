#include "app/InstallRoot.h"
#include "cli/FitCommand.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

namespace quantem::cli {
namespace {

    std::string fitOutput(std::vector<std::string> arguments)
    {
        test::TempRoot root;
        root.writeSamples(app::samplePlanetData());
        arguments.insert(arguments.begin(), { "--root", root.path().string() });
        std::ostringstream out;
        std::ostringstream err;
        fitMain(arguments, "/nonexistent", out, err);
        return out.str();
    }

    TEST(DetailsOutput, AddsToTheOutputAndChangesNothingElse)
    {
        const std::vector<std::string> runs { "--model", "7", "--samples", "8", "--power", "1",
            "--model", "52", "--samples", "8", "--elements", "2" };
        std::vector<std::string> withDetails = runs;
        withDetails.insert(withDetails.begin(), "--details");
        const std::string plain = fitOutput(runs);
        const std::string detailed = fitOutput(withDetails);
        ASSERT_EQ(detailed.rfind(plain, 0), 0u) << "the text output must come first, unchanged";
        const std::string section = detailed.substr(plain.size());
        EXPECT_EQ(section.rfind("\nFit details\n", 0), 0u) << section;
        EXPECT_NE(section.find("Stable solve"), std::string::npos);
        EXPECT_NE(section.find("solved directly"), std::string::npos); // model 52 ran last

        std::vector<std::string> json = runs;
        json.insert(json.begin(), "--json");
        std::vector<std::string> jsonDetails = withDetails;
        jsonDetails.insert(jsonDetails.begin(), "--json");
        nlohmann::json expected = nlohmann::json::parse(fitOutput(json));
        nlohmann::json actual = nlohmann::json::parse(fitOutput(jsonDetails));
        ASSERT_EQ(actual.at("runs").size(), 2u);
        for (std::size_t i = 0; i < 2; ++i) {
            const nlohmann::json details = actual["runs"][i].at("details");
            actual["runs"][i].erase("details");
            for (const char* key : { "fit", "stable", "refined", "warning" })
                EXPECT_TRUE(details.contains(key)) << key;
            EXPECT_TRUE(details["warning"].is_null());
            const nlohmann::json& parameters = details["fit"]["parameters"];
            // Model 7 counts its exponent: a0, a1, k1; model 52 of degree 2: a0, a1, a2.
            EXPECT_EQ(parameters.size(), 3u);
            EXPECT_EQ(parameters.back()["name"], i == 0 ? "k1" : "a2");
            EXPECT_EQ(parameters[0]["ci95"].size(), 2u);
            EXPECT_EQ(details["fit"]["dof"], 5);
        }
        // The first fit's refinement lowers its sum of squares and says how it stopped.
        const nlohmann::json refined
            = nlohmann::json::parse(fitOutput(jsonDetails))["runs"][0]["details"]["refined"];
        ASSERT_TRUE(refined.is_object());
        EXPECT_GT(refined["iterations"].get<int>(), 0);
        EXPECT_TRUE(refined["stop_reason"].is_string());
        // Status panel 1 holds notices that name each run's own root; the rest must be equal.
        for (std::size_t i = 0; i < 2; ++i) {
            actual["runs"][i]["Form1"]["StatusBar1"][0] = "";
            expected["runs"][i]["Form1"]["StatusBar1"][0] = "";
        }
        EXPECT_EQ(actual, expected) << "nothing else in the JSON changes";
    }

} // namespace
} // namespace quantem::cli
