#include "cli/FitCommand.h"
#include "core/ModelCatalogue.h"
#include "core/NumberText.h"
#include "support/ModelSamples.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <map>
#include <sstream>

namespace quantem::cli {
namespace {

    using Json = nlohmann::json;

    const char* const kPlanets
        = "0.387,0.241\r\n0.723,0.615\r\n1,1\r\n1.524,1.881\r\n"
          "5.203,11.862\r\n9.537,29.457\r\n19.191,84.011\r\n30.069,164.79\r\n";

    struct Output
    {
        int status = 0;
        std::string out;
        std::string err;
    };

    Output fit(const std::filesystem::path& root, std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), { "--root", root.string() });
        std::ostringstream out;
        std::ostringstream err;
        Output result;
        result.status = fitMain(arguments, "/nonexistent", out, err);
        result.out = out.str();
        result.err = err.str();
        return result;
    }

    std::string trimmed(const std::string& text)
    {
        const std::size_t first = text.find_first_not_of(' ');
        return first == std::string::npos
            ? std::string()
            : text.substr(first, text.find_last_not_of(' ') - first + 1);
    }

    /// What a label shows as the ranking's JSON gives it: its number, or null.
    Json labelNumber(const std::string& label)
    {
        double value = 0.0;
        if (!core::parseNumber(trimmed(label), value))
            return nullptr;
        return value;
    }

    const char* const kStatisticNames[] { "R", "F", "S", "biggest_error", "mean_error",
        "mean_relative_error" };

    /// The message of a run as the ranking tells it: each shown text without its blanks,
    /// repeats told once.
    Json messageOf(const Json& dialogs)
    {
        std::string text;
        for (const Json& dialog : dialogs)
            text += (text.empty() ? "" : "; ") + trimmed(dialog["text"].get<std::string>());
        return text.empty() ? Json(nullptr) : Json(text);
    }

    /// Every ranked row of models (all when empty) against the same model fitted alone by the
    /// fit command on a fresh root: the six statistics and the message windows, field for field.
    void expectRowsAsFittedAlone(const std::string& samples, const std::string& count,
        const std::string& power, const Json& rows, const std::vector<core::ModelId>& models)
    {
        std::size_t compared = 0;
        for (const Json& row : rows) {
            const core::ModelId model = row["model"].get<int>();
            if (!models.empty() && std::find(models.begin(), models.end(), model) == models.end())
                continue;
            SCOPED_TRACE(row.dump());
            test::TempRoot alone;
            alone.writeSamples(samples);
            std::vector<std::string> arguments { "--json", "--model", std::to_string(model),
                "--samples", count };
            if (row["elements"].is_null())
                arguments.insert(arguments.end(), { "--power", power });
            else
                arguments.insert(arguments.end(), { "--elements", row["elements"].dump() });
            const Output single = fit(alone.path(), arguments);
            const Json run = Json::parse(single.out)["runs"][0];
            for (int i = 0; i < 6; ++i) {
                EXPECT_EQ(row[kStatisticNames[i]],
                    labelNumber(run["Form1"]["Label" + std::to_string(17 + i)].get<std::string>()))
                    << kStatisticNames[i];
            }
            EXPECT_EQ(row["message"], messageOf(run["dialogs"]));
            EXPECT_EQ(row["formula"].get<std::string>().empty(), false);
            ++compared;
        }
        EXPECT_EQ(compared, models.empty() ? rows.size() : models.size());
    }

    /// A root's files and their bytes.
    std::map<std::string, std::string> snapshot(const test::TempRoot& root)
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root.path())) {
            const std::string relative = entry.path().lexically_relative(root.path()).string();
            files[relative] = entry.is_regular_file() ? root.read(relative) : "<directory>";
        }
        return files;
    }

    TEST(RankCommand, RowsOfTwoNumberGroupsAreTheFitsOfEachModelAlone)
    {
        test::TempRoot root;
        root.writeSamples(kPlanets);
        const Output ranked = fit(root.path(), { "--rank", "--samples", "8", "--json" });
        ASSERT_EQ(ranked.status, 0) << ranked.err;
        const Json rows = Json::parse(ranked.out)["rows"];
        ASSERT_EQ(rows.size(), 11u + 1u + 6u);
        expectRowsAsFittedAlone(kPlanets, "8", "1", rows, {});
        // Kepler's third law wins on the planets.
        EXPECT_EQ(rows[0]["model"], 7);
        EXPECT_EQ(rows[0]["rank"], 1);
    }

    TEST(RankCommand, RowsOfThreeAndFourNumberGroupsAreTheFitsOfEachModelAlone)
    {
        for (core::ModelId generating : { 19, 43 }) {
            const std::string samples = test::sampleFileText(
                test::modelSamples(generating, test::generatingModel(generating)));
            test::TempRoot root;
            root.writeSamples(samples);
            const std::string size = std::to_string(core::groupSize(generating));
            const Output ranked = fit(root.path(),
                { "--rank", "--samples", "40", "--group-size", size, "--power", ".5", "--json" });
            ASSERT_EQ(ranked.status, 0) << ranked.err;
            const Json rows = Json::parse(ranked.out)["rows"];
            const std::vector<core::ModelId> some = generating == 19
                ? std::vector<core::ModelId> { 2, 5, 17, 19, 24, 33, 51 }
                : std::vector<core::ModelId> { 3, 6, 39, 42, 43, 49, 51 };
            expectRowsAsFittedAlone(samples, "40", ".5", rows, some);
        }
    }

    TEST(RankCommand, InstallRootIsLeftAsItWas)
    {
        test::TempRoot root;
        root.writeSamples(kPlanets);
        root.writeFile("sys/JC.sys", "0.25\r\n");
        root.writeFile("sys/xx.sys", "1,1,1,7\r\n");
        root.writeFile("sys/culi.sys", "0,0,0,0\r\n");
        const std::map<std::string, std::string> before = snapshot(root);
        for (const char* format : { "--json", "--csv" }) {
            EXPECT_EQ(fit(root.path(), { "--rank", "--samples", "8", format }).status, 0);
            EXPECT_EQ(snapshot(root), before) << format;
        }
    }

    TEST(RankCommand, CsvHasTheJsonNamesAndOneLinePerRow)
    {
        test::TempRoot root;
        root.writeSamples(kPlanets);
        const Output csv = fit(root.path(), { "--rank", "--samples", "8", "--csv" });
        const Output json = fit(root.path(), { "--rank", "--samples", "8", "--json" });
        const nlohmann::ordered_json rows = nlohmann::ordered_json::parse(json.out)["rows"];
        std::istringstream lines(csv.out);
        std::string header;
        std::getline(lines, header);
        std::string expected;
        for (const auto& [key, value] : rows[0].items()) {
            if (key != "notices") // a list: the JSON's alone
                expected += (expected.empty() ? "" : ",") + key;
        }
        EXPECT_EQ(header, expected);
        EXPECT_EQ(header,
            "rank,model,elements,formula,parameters,R,F,S,biggest_error,mean_error,"
            "mean_relative_error,aicc,bic,refined_aicc,refined_mean_error,message");
        std::string first;
        std::getline(lines, first);
        EXPECT_EQ(first.rfind("1,7,,\"y = a0 + a1 * x1 ^ k1\",3,", 0), 0u) << first;
        // The numbers read back to the JSON's to the bit (the first row's formula has no comma).
        std::vector<std::string> fields;
        std::istringstream items(first + ","); // a last empty field counts too
        for (std::string item; std::getline(items, item, ',');)
            fields.push_back(item);
        ASSERT_EQ(fields.size(), 16u);
        for (std::size_t i : { 5u, 6u, 9u, 11u, 12u, 13u, 14u }) {
            double value = 0.0;
            ASSERT_TRUE(core::parseNumber(fields[i], value)) << fields[i];
            const std::string name = std::next(rows[0].items().begin(), static_cast<long>(i)).key();
            EXPECT_EQ(value, rows[0][name].get<double>()) << name;
        }
        EXPECT_EQ(fields[15], ""); // no message
        std::size_t lineCount = 1;
        for (std::string line; std::getline(lines, line);)
            ++lineCount;
        EXPECT_EQ(lineCount, rows.size());
    }

    TEST(RankCommand, SavedEquationsOfTheGroupSizeAreRankedWithTheCatalogue)
    {
        test::TempRoot root;
        root.writeSamples(kPlanets);
        const Output plain = fit(root.path(), { "--rank", "--samples", "8", "--csv" });
        for (const std::vector<std::string>& save :
            { std::vector<std::string> {
                  "--save-equation", "kepler", "--equation", "a*x^b", "--start", "b=1.4" },
                { "--save-equation", "plane", "--equation", "a*x1 + b*x2" } })
            ASSERT_EQ(fit(root.path(), save).status, 0);

        const Output ranked = fit(root.path(), { "--rank", "--samples", "8", "--json" });
        ASSERT_EQ(ranked.status, 0) << ranked.err;
        const Json rows = Json::parse(ranked.out)["rows"];
        ASSERT_EQ(rows.size(), 11u + 1u + 6u + 1u); // the plane takes groups of three
        std::size_t equations = 0;
        for (const Json& row : rows) {
            if (!row.contains("equation")) {
                EXPECT_TRUE(row["model"].is_number());
                continue;
            }
            ++equations;
            EXPECT_EQ(row["equation"], "kepler");
            EXPECT_TRUE(row["model"].is_null());
            EXPECT_EQ(row["formula"], "a*x^b");
            EXPECT_EQ(row["parameters"], 2);
            EXPECT_TRUE(row["message"].is_null());
            EXPECT_NEAR(row["R"].get<double>(), 1.0, 1E-05);
        }
        EXPECT_EQ(equations, 1u);

        // The CSV gains the column; the catalogue's lines are the same but for its empty field.
        const Output csv = fit(root.path(), { "--rank", "--samples", "8", "--csv" });
        EXPECT_EQ(csv.out.substr(0, csv.out.find('\n')),
            "rank,model,equation,elements,formula,parameters,R,F,S,biggest_error,mean_error,"
            "mean_relative_error,aicc,bic,refined_aicc,refined_mean_error,message");
        EXPECT_NE(csv.out.find(",,\"kepler\",,\"a*x^b\",2,"), std::string::npos) << csv.out;
        EXPECT_NE(csv.out.find(",7,,,\"y = a0 + a1 * x1 ^ k1\",3,"), std::string::npos);

        // A damaged library is told, and the catalogue is ranked as before.
        root.writeFile("equations.json", "{");
        const Output damaged = fit(root.path(), { "--rank", "--samples", "8", "--csv" });
        EXPECT_EQ(damaged.status, 0);
        EXPECT_EQ(damaged.out, plain.out);
        EXPECT_NE(damaged.err.find("equations.json is damaged"), std::string::npos) << damaged.err;
    }

    TEST(RankCommand, ExitStatusTellsWhetherAnyModelFitted)
    {
        test::TempRoot root;
        const Output none = fit(root.path(), { "--rank", "--samples", "8", "--json" });
        EXPECT_EQ(none.status, 1);
        const Json rows = Json::parse(none.out)["rows"];
        ASSERT_FALSE(rows.empty());
        for (const Json& row : rows) {
            EXPECT_TRUE(row["R"].is_null());
            EXPECT_TRUE(row["aicc"].is_null());
        }
        EXPECT_EQ(rows[0]["message"], "Have no data !");
        // The same format twice is no contradiction.
        EXPECT_EQ(
            fit(root.path(), { "--rank", "--samples", "8", "--json", "--json" }).out, none.out);
        EXPECT_FALSE(std::filesystem::exists(root.path() / "data.qtm"));

        const std::vector<std::vector<std::string>> wrong = {
            { "--rank" },
            { "--rank", "--samples" },
            { "--rank", "--samples", "8", "--group-size", "1" },
            { "--rank", "--samples", "8", "--group-size", "two" },
            { "--rank", "--samples", "8", "--group-size", "52" },
            { "--rank", "--samples", "8", "--group-size", "2147483647" },
            { "--rank", "--samples", "8", "--threads", "-1" },
            { "--rank", "--samples", "8", "--threads", "2147483647" },
            { "--rank", "--samples", "8", "--root", "" },
            { "--rank", "--samples", "8", "--json", "--csv" },
            { "--rank", "--samples", "8", "--model", "7" },
        };
        for (const auto& arguments : wrong) {
            const Output usage = fit(root.path(), arguments);
            EXPECT_EQ(usage.status, 2) << testing::PrintToString(arguments);
            EXPECT_NE(usage.err.find("--rank --samples N"), std::string::npos);
            EXPECT_TRUE(usage.out.empty());
        }
    }

} // namespace
} // namespace quantem::cli
