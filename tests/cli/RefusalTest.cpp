#include "cli/FitCommand.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>
#include <set>
#include <sstream>

namespace quantem::cli {
namespace {

    using Json = nlohmann::json;

    // The eight planets: distance from the sun (AU) and orbital period (years).
    constexpr const char* kPlanets = "0.387,0.241\r\n0.723,0.615\r\n1,1\r\n1.524,1.881\r\n"
                                     "5.203,11.862\r\n9.537,29.457\r\n19.191,84.011\r\n"
                                     "30.069,164.79\r\n";
    // Six groups x1, x2, y for the two-variable models.
    constexpr const char* kThreeNumberGroups = "1.25,0.5,3.1\r\n2.5,1.75,4.9\r\n3.75,0.25,6.2\r\n"
                                               "5,2.5,9.7\r\n6.25,1.5,10.1\r\n7.5,3.25,13.6\r\n";

    struct RefusalTest : ::testing::Test
    {
        test::TempRoot root;
        std::string err;

        Json fitJson(std::vector<std::string> arguments)
        {
            arguments.insert(arguments.begin(), { "--root", root.path().string(), "--json" });
            std::ostringstream out;
            std::ostringstream errors;
            fitMain(arguments, "/nonexistent", out, errors);
            err = errors.str();
            return Json::parse(out.str());
        }

        std::map<std::string, std::string> scratchFiles() const
        {
            std::map<std::string, std::string> files;
            for (const auto& entry : std::filesystem::directory_iterator(root.path() / "sys"))
                files[entry.path().filename().string()] = root.readSys(entry.path().filename());
            return files;
        }

        // The one dialog of a refused run, with its reason in the JSON and on standard error.
        // (Status panel 1 is emptied again when the run closes the dialog.)
        void expectRefusal(const Json& run, const std::string& text, const std::string& reason)
        {
            ASSERT_EQ(run["dialogs"].size(), 1u) << run["dialogs"].dump();
            const Json& dialog = run["dialogs"][0];
            EXPECT_EQ(dialog["form"], "Form5");
            EXPECT_EQ(dialog["text"], text);
            EXPECT_EQ(dialog["count"], 1);
            EXPECT_EQ(dialog.value("reason", ""), reason);
            EXPECT_NE(err.find("quantem-fit: run 1: " + reason + "\n"), std::string::npos) << err;
        }
    };

    TEST_F(RefusalTest, NoDegreeOfFreedomLeftIsRefusedBeforeAnythingIsFitted)
    {
        struct Case
        {
            const char* model;
            const char* samples;
            const char* option;
            const char* value;
            const char* data;
            const char* coefficients;
        };
        const Case cases[] = {
            { "52", "8", "--elements", "8", kPlanets, "9" },
            { "52", "8", "--elements", "7", kPlanets, "8" },
            { "24", "3", "--power", "1", kThreeNumberGroups, "5" },
            { "24", "4", "--power", "1", kThreeNumberGroups, "5" },
            { "24", "5", "--power", "1", kThreeNumberGroups, "5" },
        };
        // What the selection, the sample-count edit and the regression command write before the
        // run is handed over; every other scratch file must stay as the earlier fit left it.
        const std::set<std::string> writtenBeforeDispatch { "xx.sys", "mb.sys", "qs.sys", "JC.sys",
            "culi.sys", "da.sys", "wcqk.sys", "mm.sys", "r1.sys" };
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string("model ") + c.model + " on " + c.samples + " groups");
            root.writeSamples(c.data);
            // A fit that leaves results in every scratch file a refusal could touch.
            const bool polynomial = c.model == std::string("52");
            fitJson({ "--model", c.model, "--samples", polynomial ? "8" : "6", c.option,
                polynomial ? "2" : "1" });
            const auto before = scratchFiles();
            ASSERT_NE(before.count(polynomial ? "hgb.sys" : "XB.sys"), 0u);

            const Json json = fitJson(
                { "--keep", "--model", c.model, "--samples", c.samples, c.option, c.value });
            const Json& run = json["runs"][0];
            expectRefusal(run, "   Input error !",
                std::string("No degree of freedom is left: the sample count (InputSampleCapacity) "
                            "must be more than the model's ")
                    + c.coefficients + " coefficients.");
            for (int label = 2; label <= 22; ++label) {
                if (label == 9 || label == 10)
                    continue;
                const std::string value = run["Form1"]["Label" + std::to_string(label)];
                EXPECT_TRUE(value == "" || value == " ") << "Label" << label << " = " << value;
            }
            EXPECT_EQ(run["Form1"]["Text5"], "");
            EXPECT_EQ(run["Form1"]["Label10"], "Regress analysis, wait !");
            const auto after = scratchFiles();
            for (const auto& [name, text] : before) {
                if (writtenBeforeDispatch.count(name) == 0) {
                    EXPECT_EQ(after.at(name), text) << name;
                }
            }
            for (const auto& [name, text] : after)
                EXPECT_TRUE(before.count(name) != 0 || writtenBeforeDispatch.count(name) != 0)
                    << name << " appeared";
        }
    }

    TEST_F(RefusalTest, OneMoreGroupThanCoefficientsIsFitted)
    {
        root.writeSamples(kPlanets);
        const Json json = fitJson({ "--model", "52", "--samples", "8", "--elements", "6" });
        EXPECT_TRUE(json["runs"][0]["dialogs"].empty());
        EXPECT_NE(json["runs"][0]["Form1"]["Label17"], " ");
        EXPECT_TRUE(err.empty()) << err;
    }

    TEST_F(RefusalTest, EveryInputErrorSaysWhy)
    {
        struct Case
        {
            std::vector<std::string> arguments;
            const char* data;
            const char* text;
            std::string reason;
        };
        const Case cases[] = {
            { { "--model", "7", "--samples", "10.5", "--power", "1" }, kPlanets, "   Input error !",
                "The sample count (InputSampleCapacity) must be a whole number from 3 to 32767, "
                "not \"10.5\"." },
            { { "--model", "7", "--samples", "2", "--power", "1" }, kPlanets, "   Input error !",
                "The sample count (InputSampleCapacity) must be a whole number from 3 to 32767, "
                "not \"2\"." },
            { { "--model", "51", "--samples", "0", "--elements", "1" }, kPlanets,
                "   Input error !",
                "The sample count (InputSampleCapacity) must be a whole number of at least 1, not "
                "\"0\"." },
            { { "--model", "7", "--samples", "9", "--power", "1" }, kPlanets, "   Input error !",
                "The sample file holds only 8 groups of 2 numbers, fewer than the sample count 9 "
                "asks for." },
            { { "--model", "51", "--samples", "6", "--elements", "2" }, kPlanets,
                "   Input error !",
                "The sample file holds only 5 groups of 3 numbers, fewer than the sample count 6 "
                "asks for." },
            { { "--model", "7", "--samples", "4", "--power", "1" },
                "1,2\r\n2,3\r\n3,twenty-one_characters_or_more\r\n4,5\r\n", "   Input error !",
                "Item 6 of the sample file, \"twenty-one_character...\", is not a number." },
            { { "--model", "52", "--samples", "8", "--elements", "51" }, kPlanets,
                "   Input error !",
                "The degree (Input item(n)) must be a whole number from 1 to 50, not \"51\"." },
            { { "--model", "51", "--samples", "8", "--elements", "0" }, kPlanets,
                "   Input error !",
                "The element count (Input Element(n)) must be a whole number from 1 to 50, not "
                "\"0\"." },
            { { "--model", "52", "--samples", "8", "--elements", "2.5" }, kPlanets,
                "   Input error !",
                "The degree (Input item(n)) must be a whole number from 1 to 50, not \"2.5\"." },
            { { "--model", "7", "--samples", "8", "--power", "100.5" }, kPlanets,
                "   Input error !",
                "The power initial value (InputPowerInitialValue) must be from -100 to 100, not "
                "\"100.5\"." },
            { { "--model", "1", "--samples", "3", "--power", "1" }, "1,5\r\n2,5\r\n3,5\r\n",
                "   Input error !",
                "Column 2 of the samples has the same value in every group read; every column "
                "must vary." },
            { { "--model", "7", "--samples", "8", "--power", "1" }, nullptr, "Have no data !",
                "There is no sample file data.qtm: enter the samples with DataInput first." },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::PrintToString(c.arguments));
            std::filesystem::remove(root.path() / "data.qtm");
            if (c.data != nullptr)
                root.writeSamples(c.data);
            const Json json = fitJson(c.arguments);
            expectRefusal(json["runs"][0], c.text, c.reason);
        }
    }

} // namespace
} // namespace quantem::cli
