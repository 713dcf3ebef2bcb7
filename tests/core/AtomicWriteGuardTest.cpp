#include "core/Fault.h"
#include "core/ScratchStore.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// A write that the system cuts short (a full disk, a size limit) must fail as a whole: the file
// keeps its previous content and no temporary file stays beside it.
namespace quantem::core {
namespace {

    // What a child process that may only write files of limitBytes saw when it rewrote bgx.sys
    // with content: 0 the write was refused with Fault 75, 1 it went through, 2 another fault.
    int rewriteUnderSizeLimit(
        const std::filesystem::path& root, rlim_t limitBytes, const std::string& content)
    {
        const pid_t child = fork();
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN); // the write then fails with EFBIG instead of a kill
            const rlimit limit { limitBytes, limitBytes };
            setrlimit(RLIMIT_FSIZE, &limit);
            int outcome = 1;
            try {
                ScratchStore(root).writeText(ScratchFile::Bgx, content);
            } catch (const Fault& fault) {
                outcome = fault.code() == FaultCode::PathFileAccessError ? 0 : 2;
            } catch (...) {
                outcome = 2;
            }
            _exit(outcome);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 3;
    }

    TEST(AtomicWriteGuard, AWriteCutShortLeavesTheOldFileAndNoTemporaryFile)
    {
        test::TempRoot root;
        const std::string previous = "Report of 7 groups, 0.731\r\n";
        root.writeFile("sys/bgx.sys", previous);
        std::string report;
        for (int line = 0; line < 400; ++line)
            report += "a(" + std::to_string(line) + ")=" + std::to_string(0.173 * line) + "\r\n";
        ASSERT_GT(report.size(), 4096u);

        EXPECT_EQ(rewriteUnderSizeLimit(root.path(), 4096, report), 0);
        EXPECT_EQ(root.readSys("bgx.sys"), previous);
        for (const auto& entry : std::filesystem::directory_iterator(root.path() / "sys"))
            EXPECT_EQ(entry.path().filename(), "bgx.sys");

        // The same write with room for it goes through.
        EXPECT_EQ(rewriteUnderSizeLimit(root.path(), report.size() + 1, report), 1);
        EXPECT_EQ(root.readSys("bgx.sys"), report);
    }

} // namespace
} // namespace quantem::core
