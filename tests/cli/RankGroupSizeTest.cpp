#include "cli/FitCommand.h"
#include "cli/RankCommand.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quantem::cli {
namespace {

    RankParseResult parsedWithGroupSize(const std::string& size)
    {
        return parseRankArguments(
            { "--rank", "--samples", "8", "--group-size", size }, "/nonexistent");
    }

    TEST(RankGroupSize, BothEndsOfTheRangeAreTakenAndNothingBeyond)
    {
        for (const int size : { 2, 3, kMaxGroupSize }) {
            const RankParseResult parsed = parsedWithGroupSize(std::to_string(size));
            ASSERT_TRUE(parsed.options.has_value()) << size << ": " << parsed.error;
            EXPECT_EQ(parsed.options->groupSize, size);
        }
        for (const char* size : { "1", "0", "-2", "52", "2.0", " 2", "2x", "" }) {
            const RankParseResult parsed = parsedWithGroupSize(size);
            EXPECT_FALSE(parsed.options.has_value()) << "'" << size << "'";
            EXPECT_NE(parsed.error.find("--group-size"), std::string::npos) << parsed.error;
        }
    }

    TEST(RankGroupSize, GroupsOfTwoAskedForRankAsTheDefault)
    {
        test::TempRoot root;
        root.writeSamples("0.387,0.241\r\n0.723,0.615\r\n1,1\r\n1.524,1.881\r\n"
                          "5.203,11.862\r\n9.537,29.457\r\n19.191,84.011\r\n30.069,164.79\r\n");
        const auto run = [&](std::vector<std::string> arguments) {
            arguments.insert(arguments.begin(), { "--root", root.path().string() });
            std::ostringstream out;
            std::ostringstream err;
            const int status = fitMain(arguments, "/nonexistent", out, err);
            EXPECT_EQ(status, 0) << err.str();
            return out.str();
        };
        const std::string asked
            = run({ "--rank", "--samples", "8", "--group-size", "2", "--json" });
        EXPECT_NE(asked.find("\"rows\""), std::string::npos);
        EXPECT_EQ(asked, run({ "--rank", "--samples", "8", "--json" }));
    }

} // namespace
} // namespace quantem::cli
