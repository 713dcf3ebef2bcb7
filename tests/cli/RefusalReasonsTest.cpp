#include "cli/FitCommand.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

// Runs that showed a message window or ended without a result without saying why: each now
// says it on standard error and in the JSON, beside the windows and exit statuses they always had.
namespace quantem::cli {
namespace {

    using Json = nlohmann::json;

    constexpr const char* kPlanets = "0.387,0.241\r\n0.723,0.615\r\n1,1\r\n1.524,1.881\r\n"
                                     "5.203,11.862\r\n9.537,29.457\r\n19.191,84.011\r\n"
                                     "30.069,164.79\r\n";

    struct RefusalReasonsTest : ::testing::Test
    {
        test::TempRoot root;
        int status = 0;
        std::string err;

        Json run(std::vector<std::string> arguments)
        {
            arguments.insert(arguments.begin(), { "--root", root.path().string(), "--json" });
            std::ostringstream out;
            std::ostringstream errors;
            status = fitMain(arguments, "/nonexistent", out, errors);
            err = errors.str();
            return Json::parse(out.str())["runs"].at(0);
        }

        bool saidOnStandardError(const std::string& reason) const
        {
            return err.find("quantem-fit: run 1: " + reason + "\n") != std::string::npos;
        }
    };

    TEST_F(RefusalReasonsTest, ACountBeyondTheDoubleRangeSaysSoAndWhatIsAllowed)
    {
        root.writeSamples(kPlanets);
        struct Case
        {
            std::vector<std::string> arguments;
            std::string reason;
            const char* mm; // mm.sys after the run: a sample count beyond the range is never stored
        };
        const std::string beyond
            = " is beyond the range a number can hold (sizes up to about 1.8E+308): it must be ";
        const Case cases[] = {
            { { "--model", "7", "--samples", "1e999", "--power", "1" },
                "The sample count (InputSampleCapacity) \"1e999\"" + beyond
                    + "a whole number from 3 to 32767.",
                "<missing>" },
            { { "--model", "52", "--samples", "-4.5e+1000", "--elements", "2" },
                "The sample count (InputSampleCapacity) \"-4.5e+1000\"" + beyond
                    + "a whole number of at least 1.",
                "<missing>" },
            { { "--model", "51", "--samples", "8", "--elements", "1e999" },
                "The element count (Input Element(n)) \"1e999\"" + beyond
                    + "a whole number from 1 to 50.",
                "8\r\n" },
            { { "--model", "52", "--samples", "8", "--elements", "2.5D999" },
                "The degree (Input item(n)) \"2.5D999\"" + beyond + "a whole number from 1 to 50.",
                "8\r\n" },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::PrintToString(c.arguments));
            const Json json = run(c.arguments);
            EXPECT_EQ(status, kExitMessageShown);
            ASSERT_EQ(json["dialogs"].size(), 1u) << json["dialogs"].dump();
            EXPECT_EQ(json["dialogs"][0]["text"], "   Input error !");
            EXPECT_EQ(json["dialogs"][0]["count"], 1);
            EXPECT_EQ(json["dialogs"][0].value("reason", ""), c.reason);
            EXPECT_TRUE(saidOnStandardError(c.reason)) << err;
            EXPECT_EQ(root.readSys("mm.sys"), c.mm);
        }
    }

    TEST_F(RefusalReasonsTest, ALinearFitWithoutReadableSamplesSaysWhyAndStillEndsWithStatus3)
    {
        const std::filesystem::path data = root.path() / "data.qtm";
        const std::vector<std::string> arguments[]
            = { { "--model", "51", "--samples", "8", "--elements", "1" },
                  { "--model", "52", "--samples", "8", "--elements", "2" } };
        for (const auto& args : arguments) {
            SCOPED_TRACE(testing::PrintToString(args));
            std::filesystem::remove_all(data);
            for (const char* system : { "No such file or directory", "Is a directory" }) {
                const Json json = run(args);
                const std::string reason = "The sample file " + data.string() + " cannot be read ("
                    + system + "): enter the samples with DataInput first.";
                EXPECT_EQ(status, kExitNothingPublished);
                EXPECT_TRUE(json["dialogs"].empty()) << json["dialogs"].dump();
                EXPECT_EQ(json["notices"], Json::array({ reason }));
                EXPECT_TRUE(saidOnStandardError(reason)) << err;
                std::filesystem::create_directory(data);
            }
        }
        // An item that is not a number ends the run as silently; it is named.
        std::filesystem::remove_all(data);
        root.writeSamples("1.5,2.25,3.1\r\n2,4.5,4.9\r\n3,six,7.2\r\n4,8.5,8.8\r\n");
        const Json json = run({ "--model", "51", "--samples", "4", "--elements", "2" });
        EXPECT_EQ(status, kExitNothingPublished);
        EXPECT_EQ(json["notices"],
            Json::array({ "Item 8 of the sample file, \"six\", is not a number." }));
    }

    TEST_F(RefusalReasonsTest, AStartValueThatReadsAsZeroIsTheReasonOfTheModelChoiceMistake)
    {
        root.writeSamples(kPlanets);
        const std::string field = "The power initial value (InputPowerInitialValue) ";
        const std::string after
            = ": with exponents of 0 each power term is the constant 1, which model 7 cannot tell "
              "apart from a0, so its search cannot start there. Give another start value from "
              "-100 to 100, such as 0.5.";
        const std::pair<const char*, std::string> cases[] = {
            { "", field + "is empty, which counts as 0" + after },
            { "nan", field + "\"nan\" is not read as a number and so counts as 0" + after },
            { "0x10", field + "\"0x10\" is not read as a number and so counts as 0" + after },
            { " -0.0", field + "\" -0.0\" is 0" + after },
            { "3e-60",
                field + "\"3e-60\" is too small for a single-precision start and so counts as 0"
                    + after },
        };
        for (const auto& [power, reason] : cases) {
            SCOPED_TRACE(std::string("--power '") + power + "'");
            const Json json = run({ "--model", "7", "--samples", "8", "--power", power });
            EXPECT_EQ(status, kExitMessageShown);
            ASSERT_EQ(json["dialogs"].size(), 1u) << json["dialogs"].dump();
            EXPECT_EQ(json["dialogs"][0]["text"], "Model choice mistake !");
            EXPECT_EQ(json["dialogs"][0]["count"], 1);
            EXPECT_EQ(json["dialogs"][0].value("reason", ""), reason);
            EXPECT_TRUE(saidOnStandardError(reason)) << err;
        }
        // A start the search can use gives no such reason.
        const Json fitted = run({ "--model", "7", "--samples", "8", "--power", "1" });
        EXPECT_TRUE(fitted["dialogs"].empty()) << fitted["dialogs"].dump();
        EXPECT_EQ(err.find("counts as 0"), std::string::npos) << err;
    }

    TEST_F(RefusalReasonsTest, ASingularDesignIsFittedWithANoticeThatNamesTheDependentCoefficients)
    {
        struct Case
        {
            const char* samples;
            std::vector<std::string> arguments;
            const char* coefficients;
        };
        const Case cases[] = {
            // x2 = 2 x1: a1 and a2 trade against each other.
            { "1.5,3,3.1\r\n2.25,4.5,4.9\r\n3,6,7.2\r\n4.75,9.5,8.8\r\n5,10,11.1\r\n",
                { "--model", "51", "--samples", "5", "--elements", "2" }, "a1 and a2" },
            // x2 never changes: it is the constant's column over again.
            { "1.5,7,3.1\r\n2.25,7,4.9\r\n3,7,7.2\r\n4.75,7,8.8\r\n5,7,11.1\r\n",
                { "--model", "51", "--samples", "5", "--elements", "2" }, "a0 and a2" },
            // Two distinct x fix no parabola: x^2 = 3.5 x - 3 on them.
            { "1.5,3.1\r\n2,4.9\r\n1.5,3.3\r\n2,5.1\r\n1.5,2.9\r\n",
                { "--model", "52", "--samples", "5", "--elements", "2" }, "a0, a1 and a2" },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.coefficients);
            root.writeSamples(c.samples);
            const std::string notice = std::string("The design of this fit is singular: the "
                                                   "columns of ")
                + c.coefficients
                + " are linearly dependent, so these coefficients cannot be told apart and the "
                  "values published for them are not the only ones that fit as well. Fit fewer "
                  "terms, or use samples whose columns vary independently.";
            for (const bool details : { false, true }) {
                std::vector<std::string> arguments = c.arguments;
                if (details)
                    arguments.insert(arguments.begin(), "--details");
                const Json json = run(arguments);
                // The fit is published as always; the notice says how far it can be trusted.
                EXPECT_EQ(status, kExitFitted);
                EXPECT_NE(json["Form1"]["Label17"], " ");
                EXPECT_EQ(json["notices"], Json::array({ notice }));
                EXPECT_TRUE(saidOnStandardError(notice)) << err;
                if (details) {
                    EXPECT_TRUE(json["details"]["stable"].is_null()) << json["details"].dump();
                }
            }
        }
        // A design of full rank on the same x values as the first case gets no notice.
        root.writeSamples(
            "1.5,3.5,3.1\r\n2.25,4.5,4.9\r\n3,6.25,7.2\r\n4.75,9.5,8.8\r\n5,10,11.1\r\n");
        EXPECT_TRUE(
            run({ "--model", "51", "--samples", "5", "--elements", "2" })["notices"].empty());
    }

} // namespace
} // namespace quantem::cli
