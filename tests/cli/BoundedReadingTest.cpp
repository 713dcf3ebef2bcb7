#include "support/ShellRun.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace quantem::cli {
namespace {

    const std::string kPlanets = test::kPlanetSamples;
    using CommandRun = test::ShellRun;

    /// Runs quantem-fit on root through a shell, limits first (as "ulimit -v 1000000 && "), with
    /// standard error dropped; the root's path in the output reads ROOT.
    CommandRun fit(
        const test::TempRoot& root, const std::string& arguments, const std::string& limits = {})
    {
        CommandRun run = test::runShell(limits + "'" + std::string(QUANTEM_FIT_BINARY)
            + "' --root '" + root.path().string() + "' " + arguments);
        // The root's own path (a picture not found) differs between roots, not between readings.
        const std::string path = root.path().string();
        for (std::size_t at = run.out.find(path); at != std::string::npos;
             at = run.out.find(path, at))
            run.out.replace(at, path.size(), "ROOT");
        return run;
    }

    /// Other groups after the eight, some of them no numbers, to about the given size.
    std::string longTail(std::size_t bytes)
    {
        std::string piece;
        for (int i = 0; i < 1000; ++i)
            piece += std::to_string(2 + i % 97) + ".25," + (i % 331 == 0 ? "x" : "3.5") + "\r\n";
        std::string tail;
        tail.reserve(bytes + piece.size());
        while (tail.size() < bytes)
            tail += piece;
        return tail;
    }

    TEST(BoundedCommandReading, RankDetailsAndPlotOfALongFileAreThoseOfItsFirstGroups)
    {
        test::TempRoot eight;
        eight.writeSamples(kPlanets);
        test::TempRoot longer;
        longer.writeSamples(kPlanets + longTail(std::size_t { 16 } << 20));
        for (const std::string arguments :
            { "--rank --samples 8 --json", "--rank --samples 8 --csv --threads 3",
                "--details --json --model 52 --samples 8 --elements 2",
                "--details --model 9 --samples 8 --power 1.3" }) {
            SCOPED_TRACE(arguments);
            const CommandRun expected = fit(eight, arguments);
            ASSERT_EQ(expected.status, 0) << expected.out;
            const CommandRun run = fit(longer, arguments);
            EXPECT_EQ(run.status, expected.status);
            EXPECT_EQ(run.out, expected.out);
        }
        const std::string plot = " --model 52 --samples 8 --elements 2 --plot ";
        const CommandRun drawn
            = fit(eight, plot + "'" + (eight.path() / "chart.svg").string() + "'");
        ASSERT_EQ(drawn.status, 0) << drawn.out;
        const CommandRun longDrawn
            = fit(longer, plot + "'" + (longer.path() / "chart.svg").string() + "'");
        EXPECT_EQ(longDrawn.status, 0);
        EXPECT_EQ(longDrawn.out, drawn.out);
        EXPECT_EQ(longer.read("chart.svg"), eight.read("chart.svg"));
    }

    TEST(BoundedCommandReading, ARankingReadsNothingOfTheFilePastTheGroupsAsked)
    {
        // Eight groups, then a hole of a tebibyte: no reading of the whole file could end, or find
        // the memory for it under the limit.
        test::TempRoot eight;
        eight.writeSamples(kPlanets);
        test::TempRoot huge;
        huge.writeSamples(kPlanets);
        if (::truncate((huge.path() / "data.qtm").c_str(), off_t { 1 } << 40) != 0)
            GTEST_SKIP() << "the file system here holds no file of a tebibyte with a hole";
        const std::string limit = "ulimit -v 2000000 && ";
        for (const std::string arguments : { "--rank --samples 8", "--rank --samples 8 --json" }) {
            SCOPED_TRACE(arguments);
            const CommandRun expected = fit(eight, arguments, limit);
            if (expected.status != 0)
                GTEST_SKIP() << "the ranking does not run under '" << limit << "' here";
            const CommandRun run = fit(huge, arguments, limit);
            EXPECT_EQ(run.status, 0);
            EXPECT_EQ(run.out, expected.out);
        }
    }

} // namespace
} // namespace quantem::cli
