#include "equation/EquationLibrary.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

// Two quantem-fit processes on one install root: each prints its own result, or is told which
// program holds the root, and never prints what the other computed.
namespace quantem::cli {
namespace {

    using namespace std::chrono_literals;
    using Json = nlohmann::json;

    /// A quantem-fit process started on a root, its output going to files beside it; the
    /// arguments follow --root and, when json, --json.
    class FitProcess
    {
    public:
        FitProcess(const test::TempRoot& root, const std::string& name,
            std::vector<std::string> arguments, bool json = true)
            : m_out(root.path() / (name + ".out"))
            , m_err(root.path() / (name + ".err"))
        {
            if (json)
                arguments.insert(arguments.begin(), "--json");
            arguments.insert(
                arguments.begin(), { QUANTEM_FIT_BINARY, "--root", root.path().string() });
            std::vector<char*> argv;
            for (std::string& argument : arguments)
                argv.push_back(argument.data());
            argv.push_back(nullptr);
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_addopen(
                &actions, STDOUT_FILENO, m_out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            posix_spawn_file_actions_addopen(
                &actions, STDERR_FILENO, m_err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
                m_pid = -1;
            posix_spawn_file_actions_destroy(&actions);
        }

        pid_t pid() const noexcept { return m_pid; }

        /// Waits for the end; the exit status, or -1.
        int wait()
        {
            int status = 0;
            if (m_pid <= 0 || waitpid(m_pid, &status, 0) != m_pid)
                return -1;
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }

        std::string out() const { return read(m_out); }
        std::string err() const { return read(m_err); }

    private:
        static std::string read(const std::filesystem::path& path)
        {
            std::ifstream in(path, std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            return text.str();
        }

        std::filesystem::path m_out;
        std::filesystem::path m_err;
        pid_t m_pid = -1;
    };

    // The main window's fields a run leaves, without the status panels (date, time).
    Json resultOf(const std::string& out)
    {
        Json form = Json::parse(out)["runs"].at(0)["Form1"];
        form.erase("StatusBar1");
        return form;
    }

    /// The refusal of a command run with --json: the error object on standard output, with the
    /// sentence that standard error gives.
    std::string refusalOf(const FitProcess& fit)
    {
        const Json json = Json::parse(fit.out());
        EXPECT_TRUE(json["error"]["position"].is_null()) << fit.out();
        const std::string message = json["error"]["message"];
        EXPECT_EQ(fit.err(), "quantem-fit: " + message + "\n");
        return message;
    }

    const std::string kPlanets
        = "0.387,0.241\r\n0.723,0.615\r\n1,1\r\n1.524,1.881\r\n"
          "5.203,11.862\r\n9.537,29.457\r\n19.191,84.011\r\n30.069,164.79\r\n";
    const std::vector<std::string> kModel7 { "--model", "7", "--samples", "8", "--power", "1" };
    const std::vector<std::string> kModel51 { "--model", "51", "--samples", "8", "--elements",
        "1" };

    TEST(OneProgramPerRoot, TwoFitsStartedTogetherEachPrintTheirOwnResultOrTheLockMessage)
    {
        // What each prints when it has the root to itself.
        Json alone[2];
        for (int i = 0; i < 2; ++i) {
            test::TempRoot root;
            root.writeSamples(kPlanets);
            FitProcess fit(root, "alone", i == 0 ? kModel7 : kModel51);
            ASSERT_EQ(fit.wait(), 0) << fit.err();
            alone[i] = resultOf(fit.out());
        }
        ASSERT_NE(alone[0], alone[1]);

        test::TempRoot root;
        root.writeSamples(kPlanets);
        for (int round = 0; round < 12; ++round) {
            SCOPED_TRACE("round " + std::to_string(round));
            FitProcess first(root, "first", kModel7);
            FitProcess second(root, "second", kModel51);
            FitProcess* fits[] = { &first, &second };
            for (int i = 0; i < 2; ++i) {
                const int status = fits[i]->wait();
                if (status == 0) {
                    EXPECT_EQ(resultOf(fits[i]->out()), alone[i]) << fits[i]->err();
                } else {
                    EXPECT_EQ(status, 1);
                    EXPECT_NE(refusalOf(*fits[i]).find("is in use by quantem-fit (process "),
                        std::string::npos)
                        << fits[i]->err();
                }
            }
        }
        EXPECT_FALSE(std::filesystem::exists(root.sys("lock")));
    }

    TEST(OneProgramPerRoot, AFitWhileAnotherHoldsTheRootWaitsThenNamesIt)
    {
        // Searches from a start far below the exponent the samples follow.
        test::TempRoot root;
        std::ostringstream samples;
        samples.precision(17);
        for (int i = 1; i <= 4000; ++i) {
            const double x = 0.25 + 0.0173 * i;
            samples << x << ',' << 1.7 + 2.3 * std::pow(x, 1.37) + 0.01 * std::sin(i) << "\r\n";
        }
        root.writeSamples(samples.str());
        // Run after run of a search of about a second each: far longer than the other waits.
        std::vector<std::string> searches;
        for (int run = 0; run < 30; ++run)
            searches.insert(
                searches.end(), { "--model", "7", "--samples", "4000", "--power", "-100" });
        FitProcess holder(root, "holder", searches);
        ASSERT_GT(holder.pid(), 0);
        const std::string named = "quantem-fit " + std::to_string(holder.pid()) + "\n";
        const auto giveUp = std::chrono::steady_clock::now() + 60s;
        while (root.readSys("lock") != named && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(10ms);
        ASSERT_EQ(root.readSys("lock"), named);

        const auto asked = std::chrono::steady_clock::now();
        FitProcess late(root, "late", kModel51);
        EXPECT_EQ(late.wait(), 1);
        EXPECT_GE(std::chrono::steady_clock::now() - asked, 2s); // it waited a while first
        EXPECT_EQ(refusalOf(late),
            "The install root " + root.path().string() + " is in use by quantem-fit (process "
                + std::to_string(holder.pid()) + "): wait until it has finished, then try again.");

        // The holder, stopped, prints its own runs: model 7's searches, none of model 51.
        kill(holder.pid(), SIGTERM);
        EXPECT_EQ(holder.wait(), 143);
        const Json runs = Json::parse(holder.out())["runs"];
        ASSERT_FALSE(runs.empty());
        for (const Json& run : runs) {
            const std::string report = run["Form1"]["Text5"];
            EXPECT_TRUE(report.empty() || report.starts_with("What you did is Two-Dimension"))
                << report;
        }
        EXPECT_EQ(root.readSys("xx.sys"), "1,1,1,7\r\n");
        EXPECT_FALSE(std::filesystem::exists(root.sys("lock")));
    }

    TEST(OneProgramPerRoot, SavingAnEquationWaitsForTheRootAndIsRefusedWhileAnotherHoldsIt)
    {
        test::TempRoot root;
        // A holder that keeps the root as the desktop program does: the lock, its name inside.
        const int file = ::open(root.sys("lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(file, 0);
        ASSERT_EQ(::flock(file, LOCK_EX), 0);
        const std::string named = "quantem 4242\n";
        ASSERT_EQ(::write(file, named.data(), named.size()), static_cast<ssize_t>(named.size()));
        const std::vector<std::string> save { "--save-equation", "decay", "--equation",
            "A*exp(-k*x) + C" };
        FitProcess refused(root, "refused", save, false);
        EXPECT_EQ(refused.wait(), 1);
        EXPECT_EQ(refused.out(), "");
        EXPECT_EQ(refused.err(),
            "quantem-fit: The install root " + root.path().string()
                + " is in use by quantem (process 4242): wait until it has finished, then try "
                  "again.\n");
        EXPECT_EQ(root.read(equation::kEquationLibraryFile), "<missing>");

        // Let go as every holder does: the name removed while the lock is still held.
        ::unlink(root.sys("lock").c_str());
        ::close(file);
        FitProcess saved(root, "saved", save, false);
        EXPECT_EQ(saved.wait(), 0) << saved.err();
        EXPECT_EQ(equation::readEquationLibrary(root.path()).entries.size(), 1u);
        EXPECT_FALSE(std::filesystem::exists(root.sys("lock")));
    }

} // namespace
} // namespace quantem::cli
