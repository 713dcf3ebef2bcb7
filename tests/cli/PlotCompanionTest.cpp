#include "cli/PlotCompanion.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace quantem::cli {
namespace {

    const char* const kPlanets = "0.387,0.241\r\n0.723,0.615\r\n1,1\r\n1.524,1.881\r\n"
                                 "5.203,11.862\r\n9.539,29.458\r\n19.18,84.01\r\n30.06,164.8\r\n";

    /// Runs a shell command; its exit status, and what it wrote on standard output and error.
    int run(const std::string& command, std::string& output)
    {
        output.clear();
        FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
        if (pipe == nullptr)
            return -1;
        char buffer[4096];
        std::size_t read = 0;
        while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, read);
        const int status = ::pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TEST(PlotCompanion, OnlyAChartAsksForIt)
    {
        EXPECT_TRUE(asksForPlot({ "--model", "7", "--samples", "8", "--plot", "a.png" }));
        EXPECT_FALSE(asksForPlot({ "--model", "7", "--samples", "8" }));
        EXPECT_FALSE(asksForPlot({ "--plot-size", "200x100", "--model", "7" }));
        EXPECT_FALSE(asksForPlot({ "--rank", "--samples", "1000" }));
        EXPECT_EQ(plotCompanionPath().filename(), kPlotCompanionName);
    }

    TEST(PlotCompanion, TheProgramItselfNeverLoadsTheToolkit)
    {
        // What the dynamic loader would map, as ldd lists it, without running the program.
        std::string loaded;
        ASSERT_EQ(
            run("LD_TRACE_LOADED_OBJECTS=1 '" + std::string(QUANTEM_FIT_BINARY) + "'", loaded), 0);
        EXPECT_NE(loaded.find("libc.so"), std::string::npos) << loaded;
        EXPECT_EQ(loaded.find("libQt"), std::string::npos) << loaded;
    }

    TEST(PlotCompanion, WithoutItTheRunsAreMadeAndThePlotSaysWhy)
    {
        // The program copied where no companion lies beside it.
        test::TempRoot root;
        root.writeSamples(kPlanets);
        const std::filesystem::path alone = root.path() / "quantem-fit";
        std::filesystem::copy_file(QUANTEM_FIT_BINARY, alone);
        const std::filesystem::path chart = root.path() / "planets.png";
        std::string output;
        const int status = run("'" + alone.string() + "' --root '" + root.path().string()
                + "' --model 7 --samples 8 --power 1 --plot '" + chart.string() + "'",
            output);
        EXPECT_EQ(status, 1); // a chart not written
        EXPECT_NE(output.find("Correlation coefficient(R)"), std::string::npos) << output;
        EXPECT_NE(output.find("quantem-fit: --plot: quantem-fit-plot could not be started"),
            std::string::npos)
            << output;
        EXPECT_NE(root.readSys("XB.sys"), "<missing>");
        EXPECT_FALSE(std::filesystem::exists(chart));
    }

} // namespace
} // namespace quantem::cli
