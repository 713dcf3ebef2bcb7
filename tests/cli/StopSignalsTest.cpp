#include "cli/StopSignals.h"

#include "ranking/RankingPlan.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace quantem::cli {
namespace {

    using namespace std::chrono_literals;

    std::atomic<int> g_sentinelCalls { 0 };
    extern "C" void sentinel(int) { g_sentinelCalls.fetch_add(1); }

    TEST(StopSignals, SignalSetsTheStopAndTheStatusAndThePreviousHandlersComeBack)
    {
        for (const auto& [signal, status] : { std::pair { SIGINT, 130 }, { SIGTERM, 143 } }) {
            struct sigaction mine
            {
            };
            mine.sa_handler = sentinel;
            sigemptyset(&mine.sa_mask);
            struct sigaction before
            {
            };
            ASSERT_EQ(sigaction(signal, &mine, &before), 0);
            g_sentinelCalls = 0;
            {
                StopSignals stops;
                EXPECT_EQ(stops.received(), 0);
                core::Form1 form;
                EXPECT_NO_THROW(stops.stopSwitch().progress(form));
                std::raise(signal); // would end the test program without the handler
                EXPECT_EQ(stops.received(), signal);
                EXPECT_EQ(stops.exitStatus(), status);
                EXPECT_THROW(stops.stopSwitch().progress(form), core::RunStopped);
            }
            EXPECT_EQ(g_sentinelCalls, 0);
            std::raise(signal);
            EXPECT_EQ(g_sentinelCalls, 1);
            // A new scope starts without the old request.
            {
                StopSignals stops;
                EXPECT_EQ(stops.received(), 0);
                core::Form1 form;
                EXPECT_NO_THROW(stops.stopSwitch().progress(form));
            }
            sigaction(signal, &before, nullptr);
        }
    }

    // The CPU time a process has used, in clock ticks; -1 when it is gone.
    long cpuTicks(pid_t pid)
    {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        const std::size_t close = text.rfind(')');
        if (close == std::string::npos)
            return -1;
        std::istringstream fields(text.substr(close + 2));
        std::string field;
        long user = 0;
        long system = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i == 14)
                user = std::stol(field);
            if (i == 15)
                system = std::stol(field);
        }
        return user + system;
    }

    struct SignalledFit
    {
        int status = -1;
        bool exited = false;
        std::string out;
    };

    // Starts quantem-fit on root with arguments, lets it compute for a while, sends signal and
    // collects its exit and output.
    SignalledFit fitAndSignal(
        const test::TempRoot& root, std::vector<std::string> arguments, int signal)
    {
        const std::filesystem::path outFile = root.path() / "fit-output.txt";
        arguments.insert(arguments.begin(), { QUANTEM_FIT_BINARY, "--root", root.path().string() });
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(
            &actions, STDOUT_FILENO, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t pid = 0;
        SignalledFit result;
        const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0)
            return result;
        // Well into the search: a quarter of a second of computing, far past start-up.
        const auto giveUp = std::chrono::steady_clock::now() + 60s;
        while (cpuTicks(pid) >= 0 && cpuTicks(pid) < sysconf(_SC_CLK_TCK) / 4
            && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(10ms);
        kill(pid, signal);
        int wstatus = 0;
        waitpid(pid, &wstatus, 0);
        result.exited = WIFEXITED(wstatus);
        result.status = result.exited ? WEXITSTATUS(wstatus) : -WTERMSIG(wstatus);
        result.out = root.read("fit-output.txt");
        std::filesystem::remove(outFile);
        return result;
    }

    // A fit that searches for minutes: a start far below the exponent the samples follow, over
    // many groups.
    std::string longSearchSamples(int groups)
    {
        std::ostringstream text;
        text.precision(17);
        for (int i = 1; i <= groups; ++i) {
            const double x = 0.25 + 0.0173 * i;
            text << x << ',' << 1.7 + 2.3 * std::pow(x, 1.37) + 0.01 * std::sin(i) << "\r\n";
        }
        return text.str();
    }

    TEST(StopSignals, FitCommandStopsOnSignalPrintsWhatItHasAndLeavesWholeFiles)
    {
        for (const auto& [signal, status] : { std::pair { SIGINT, 130 }, { SIGTERM, 143 } }) {
            test::TempRoot root;
            root.writeSamples(longSearchSamples(4000));
            const SignalledFit fit = fitAndSignal(root,
                { "--json", "--model", "7", "--samples", "4000", "--power", "-100", "--model", "51",
                    "--samples", "4000", "--elements", "1" },
                signal);
            ASSERT_TRUE(fit.exited) << "ended by signal " << -fit.status;
            EXPECT_EQ(fit.status, status);
            const auto json = nlohmann::json::parse(fit.out);
            // The stopped run is the last one printed; the run after it was not made.
            ASSERT_EQ(json["runs"].size(), 1u);
            const auto& form1 = json["runs"][0]["Form1"];
            EXPECT_EQ(form1["StatusBar1"][0], "Stopped");
            EXPECT_EQ(form1["Label2"], " ");
            EXPECT_TRUE(json["runs"][0]["dialogs"].empty());
            for (const auto& entry : std::filesystem::directory_iterator(root.path() / "sys")) {
                const std::string name = entry.path().filename().string();
                const std::string bytes = root.readSys(name);
                EXPECT_EQ(name.find_first_of("~#") == std::string::npos && name.size() > 4
                        && name.substr(name.size() - 4) == ".sys",
                    true)
                    << "stray file " << name;
                ASSERT_GE(bytes.size(), 3u) << name;
                EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << name;
            }
        }
    }

    // Groups of four numbers whose power-model runs search for seconds from a start far off.
    std::string longRankingSamples(int groups)
    {
        std::ostringstream text;
        text.precision(17);
        for (int i = 1; i <= groups; ++i) {
            const double x = 0.25 + 0.0173 * i;
            const double x2 = 0.5 + 0.0011 * i;
            const double x3 = 1 + 0.0007 * (i % 97);
            text << x << ',' << x2 << ',' << x3 << ','
                 << 1.7 + 2.3 * std::pow(x, 1.37) * std::pow(x2, 0.4) + 0.01 * std::sin(i)
                 << "\r\n";
        }
        return text.str();
    }

    TEST(StopSignals, RankingStopsOnSignalAndPrintsTheRowsFinished)
    {
        test::TempRoot root;
        root.writeSamples(longRankingSamples(4000));
        const std::vector<std::string> ranking { "--rank", "--samples", "4000", "--group-size", "4",
            "--power", "-60", "--threads", "2" };
        for (const auto& [format, signal] : { std::pair { std::string("--json"), SIGINT },
                 { std::string("--csv"), SIGTERM }, { std::string("--threads"), SIGTERM } }) {
            SCOPED_TRACE(format);
            std::vector<std::string> arguments = ranking;
            if (format != "--threads")
                arguments.push_back(format);
            const SignalledFit run = fitAndSignal(root, arguments, signal);
            ASSERT_TRUE(run.exited) << "ended by signal " << -run.status;
            EXPECT_EQ(run.status, 128 + signal);
            std::istringstream lines(run.out);
            std::string line;
            std::vector<std::string> rows;
            while (std::getline(lines, line))
                rows.push_back(line);
            ASSERT_FALSE(rows.empty());
            if (format == "--json") {
                const auto json = nlohmann::json::parse(run.out);
                ASSERT_TRUE(json["rows"].is_array());
                // The runs not made or stopped have no row.
                EXPECT_LT(json["rows"].size(), ranking::rankingPlan(4, 4000).size());
                for (std::size_t i = 0; i < json["rows"].size(); ++i)
                    EXPECT_EQ(json["rows"][i]["rank"], i + 1);
            } else if (format == "--csv") {
                EXPECT_EQ(rows[0].rfind("rank,model,", 0), 0u) << rows[0];
                const auto fields = [](const std::string& text) {
                    int commas = 0;
                    bool quoted = false;
                    for (char c : text) {
                        quoted = c == '"' ? !quoted : quoted;
                        commas += c == ',' && !quoted ? 1 : 0;
                    }
                    return quoted ? -1 : commas;
                };
                for (const std::string& row : rows)
                    EXPECT_EQ(fields(row), fields(rows[0])) << row;
            } else {
                EXPECT_EQ(rows[0].rfind("rank model", 0), 0u) << rows[0];
                for (std::size_t i = 1; i < rows.size(); ++i)
                    EXPECT_EQ(rows[i].rfind(std::to_string(i) + " ", 0), 0u) << rows[i];
            }
        }
    }

} // namespace
} // namespace quantem::cli
