#include "cli/OutOfMemory.h"
#include "support/ShellRun.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <sstream>
#include <string>

namespace quantem::cli {
namespace {

    const char* const kPlanets = test::kPlanetSamples;
    using CommandRun = test::ShellRun;

    /// Runs a shell command with standard error to a file beside the root.
    CommandRun shell(const test::TempRoot& root, const std::string& command)
    {
        return test::runShell(command, root.path() / "err.txt");
    }

    std::string fitCommand(const test::TempRoot& root, const std::string& arguments)
    {
        return "'" + std::string(QUANTEM_FIT_BINARY) + "' --root '" + root.path().string() + "' "
            + arguments;
    }

    std::string companion()
    {
        return (std::filesystem::path(QUANTEM_FIT_BINARY).parent_path() / "quantem-fit-plot")
            .string();
    }

    const std::string kFit = "--model 52 --samples 8 --elements 2";

    // The address sanitizer reserves terabytes of shadow memory and runs on deeper stacks: limits
    // on memory and stack measure it, not the program.
#ifdef __SANITIZE_ADDRESS__
    constexpr bool kUnderSanitizer = true;
#else
    constexpr bool kUnderSanitizer = false;
#endif

    TEST(CommandLimits, ASmallStackReadsTheFilesAsAnyOther)
    {
        if (kUnderSanitizer)
            GTEST_SKIP() << "memory and stack limits do not apply to a sanitized program";
        test::TempRoot root;
        root.writeSamples(kPlanets);
        for (const std::string& arguments : { kFit, std::string("--rank --samples 8") }) {
            SCOPED_TRACE(arguments);
            const CommandRun free = shell(root, fitCommand(root, arguments));
            ASSERT_EQ(free.status, 0) << free.err;
            const CommandRun small = shell(root, "ulimit -s 64 && " + fitCommand(root, arguments));
            EXPECT_EQ(small.status, 0) << small.err;
            EXPECT_EQ(small.out, free.out);
        }
    }

    TEST(CommandLimits, AChartThatCannotBeDrawnLeavesTheRunsPrintedAndSaysWhy)
    {
        test::TempRoot root;
        root.writeSamples(kPlanets);
        const CommandRun plain = shell(root, fitCommand(root, kFit));
        ASSERT_EQ(plain.status, 0) << plain.err;
        const std::string chart = (root.path() / "chart.png").string();
        const std::string plot = kFit + " --plot '" + chart + "'";

        // Open files for the runs, too few for the toolkit besides: the fewest the runs need here
        // (a test runner may hand down open files of its own).
        int files = 4;
        while (files < 64
            && shell(root, "ulimit -n " + std::to_string(files) + " && " + fitCommand(root, kFit))
                    .out
                != plain.out)
            ++files;
        const CommandRun few
            = shell(root, "ulimit -n " + std::to_string(files) + " && " + fitCommand(root, plot));
        EXPECT_EQ(few.out, plain.out) << few.err;
        if (few.status == 0) {
            EXPECT_TRUE(std::filesystem::exists(chart));
            std::filesystem::remove(chart);
        } else {
            EXPECT_EQ(few.status, 1) << few.err; // not ended by an abort
            EXPECT_NE(few.err.find("quantem-fit: --plot: "), std::string::npos) << few.err;
            EXPECT_FALSE(std::filesystem::exists(chart));
        }

        // A memory limit under which the companion cannot be loaded, but this program runs.
        bool tried = false;
        for (int limit : { 30000, 45000, 60000, 80000 }) {
            const std::string ulimit = "ulimit -v " + std::to_string(limit) + " && ";
            if (shell(root, ulimit + "'" + companion() + "' --version").status == 0
                || shell(root, ulimit + fitCommand(root, kFit)).status != 0)
                continue;
            tried = true;
            const CommandRun run = shell(root, ulimit + fitCommand(root, plot));
            EXPECT_EQ(run.status, 1) << run.err;
            EXPECT_EQ(run.out, plain.out);
            EXPECT_NE(run.err.find("quantem-fit: --plot: quantem-fit-plot could not be started"),
                std::string::npos)
                << run.err;
            EXPECT_FALSE(std::filesystem::exists(chart));
            break;
        }
        if (!tried)
            GTEST_SKIP() << "no memory limit tried here keeps the companion alone from starting";
    }

    TEST(CommandLimits, APlotFileNameKeepsItsBytes)
    {
        test::TempRoot root;
        root.writeSamples(kPlanets);
        // Latin-1 bytes, no UTF-8: the file gets exactly this name.
        const std::string name = "chart-\xE9t\xE9-\xFF.svg";
        const CommandRun run = shell(
            root, fitCommand(root, kFit + " --plot '" + (root.path() / name).string() + "'"));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(std::filesystem::is_regular_file(root.path() / name));
        int files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(root.path()))
            files += entry.path().extension() == ".svg" ? 1 : 0;
        EXPECT_EQ(files, 1);
    }

    TEST(CommandLimits, ARankingUnderAMemoryLimitGivesItsTableOrSaysMemoryRanOut)
    {
        if (kUnderSanitizer)
            GTEST_SKIP() << "memory and stack limits do not apply to a sanitized program";
        test::TempRoot root;
        root.writeSamples(kPlanets);
        const std::string ranking = fitCommand(root, "--rank --samples 8 --threads 4");
        const CommandRun free = shell(root, ranking);
        ASSERT_EQ(free.status, 0) << free.err;
        int shortOfMemory = 0;
        // Not 16 MB: there, on these samples, an allocation refused inside the linear-algebra
        // library's own matrix resize leaves it freeing the old block twice (it deletes before it
        // allocates), a crash no caller can turn into a message.
        for (int limit : { 8000, 12000, 14000, 18000, 20000, 24000, 30000 }) {
            SCOPED_TRACE(limit);
            const CommandRun run
                = shell(root, "ulimit -v " + std::to_string(limit) + " && " + ranking);
            if (run.status == 127)
                continue; // the loader found no room for the program itself
            if (run.status == 0) {
                EXPECT_EQ(run.out, free.out); // the threads that could start, the same bits
                continue;
            }
            ++shortOfMemory;
            EXPECT_EQ(run.status, 1); // not ended by an abort
            EXPECT_NE(run.err.find("not enough memory"), std::string::npos) << run.err;
        }
        if (shortOfMemory == 0)
            GTEST_SKIP() << "no limit tried here was short of memory for the ranking";
    }

    TEST(CommandLimits, RunningOutOfMemoryKeepsTheOutputAndSaysSo)
    {
        std::ostringstream out;
        std::ostringstream err;
        const int status = unlessOutOfMemory(
            [&]() -> int {
                out << "row 1\n";
                throw std::bad_alloc();
            },
            out, err);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(out.str(), "row 1\n");
        EXPECT_EQ(err.str(), std::string("quantem-fit: ") + kOutOfMemoryText + "\n");
        EXPECT_EQ(unlessOutOfMemory([] { return 3; }, out, err), 3);
    }

} // namespace
} // namespace quantem::cli
