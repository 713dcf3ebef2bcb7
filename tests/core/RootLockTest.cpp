#include "core/RootLock.h"

#include "core/AtomicFile.h"
#include "core/ScratchStore.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace quantem::core {
namespace {

    // What another process is told when it asks for root's lock for up to waitMs: "" when it got
    // the lock, else the refusal.
    std::string lockFromAnotherProcess(const std::filesystem::path& root, int waitMs)
    {
        int pipe[2];
        if (::pipe(pipe) != 0)
            return "<no pipe>";
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(pipe[0]);
            std::string told;
            {
                const RootLock lock(root, "other-program", std::chrono::milliseconds(waitMs));
                told = lock.refusal();
            }
            const ssize_t written = ::write(pipe[1], told.data(), told.size());
            _exit(written == static_cast<ssize_t>(told.size()) ? 0 : 1);
        }
        ::close(pipe[1]);
        std::string told;
        char buffer[512];
        for (ssize_t count; (count = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
            told.append(buffer, static_cast<std::size_t>(count));
        ::close(pipe[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? told : "<child failed>";
    }

    TEST(RootLock, AnotherProgramWaitsThenIsToldWhoHoldsTheRoot)
    {
        test::TempRoot root;
        {
            const RootLock held(root.path(), "quantem-test");
            ASSERT_FALSE(held.refused());
            // The same process nests without waiting for itself.
            const RootLock nested(root.path(), "quantem-test", std::chrono::milliseconds(0));
            EXPECT_FALSE(nested.refused());

            const auto asked = std::chrono::steady_clock::now();
            const std::string told = lockFromAnotherProcess(root.path(), 300);
            EXPECT_GE(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(300));
            EXPECT_EQ(told,
                "The install root " + root.path().string() + " is in use by quantem-test (process "
                    + std::to_string(::getpid())
                    + "): wait until it has finished, then try again.");
        }
        // Let go, the lock file goes with it and the next program takes the root at once.
        EXPECT_FALSE(std::filesystem::exists(root.sys("lock")));
        EXPECT_EQ(lockFromAnotherProcess(root.path(), 0), "");
        EXPECT_FALSE(std::filesystem::exists(root.sys("lock")));

        // A root that takes no files is no reason to refuse: each write says what went wrong.
        const RootLock nowhere(root.path() / "no-such-root", "quantem-test");
        EXPECT_FALSE(nowhere.refused());
    }

    TEST(RootLock, TheSweepSparesATemporaryFileThatAWriterHolds)
    {
        test::TempRoot root;
        // A write of another program caught between creating its temporary file and renaming it.
        int inFlight = -1;
        ASSERT_FALSE(systemFileOperations().create(root.sys(".qs.sys.tmp-Held01"), inFlight));
        ASSERT_FALSE(systemFileOperations().write(inFlight, "3\r\n"));
        root.writeFile("sys/.JC.sys.tmp-Left01", "0.5");

        ScratchStore(root.path()).writeRecord(ScratchFile::Da, { 1.0 });
        EXPECT_TRUE(std::filesystem::exists(root.sys(".qs.sys.tmp-Held01")));
        EXPECT_FALSE(std::filesystem::exists(root.sys(".JC.sys.tmp-Left01")));

        // The writer ends its write as it would have; the file is whole.
        ASSERT_FALSE(systemFileOperations().close(inFlight));
        ASSERT_FALSE(
            systemFileOperations().rename(root.sys(".qs.sys.tmp-Held01"), root.sys("qs.sys")));
        EXPECT_EQ(root.readSys("qs.sys"), "3\r\n");

        // Once nobody holds it, a file left behind goes at the next run's first write.
        ASSERT_FALSE(systemFileOperations().create(root.sys(".mm.sys.tmp-Ended1"), inFlight));
        ASSERT_FALSE(systemFileOperations().close(inFlight));
        ScratchStore(root.path()).writeRecord(ScratchFile::Da, { 2.0 });
        EXPECT_FALSE(std::filesystem::exists(root.sys(".mm.sys.tmp-Ended1")));
    }

} // namespace
} // namespace quantem::core
