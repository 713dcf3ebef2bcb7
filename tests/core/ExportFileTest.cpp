#include "core/ExportFile.h"

#include "support/FailingFileOperations.h"
#include "support/PlantedLink.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>

namespace quantem::core {
namespace {

    TEST(ExportFile, ALinkOrAnythingButARegularFileIsRefusedAndNothingIsWritten)
    {
        test::TempRoot root;
        const test::PlantedLink link(root.path() / "chart.png", root.path() / "victim.txt");
        const ExportOutcome throughLink = writeExportFile(link.path(), "PNG bytes");
        EXPECT_FALSE(throughLink);
        EXPECT_NE(throughLink.failure.find("symbolic link"), std::string::npos)
            << throughLink.failure;
        EXPECT_EQ(link.damage(), "");

        // A link to nowhere creates nothing where it points.
        std::filesystem::create_symlink(root.path() / "nowhere.png", root.path() / "dangling.png");
        EXPECT_FALSE(writeExportFile(root.path() / "dangling.png", "PNG bytes"));
        EXPECT_FALSE(std::filesystem::exists(root.path() / "nowhere.png"));

        // A pipe is never opened (the write would wait for a reader for ever), a folder is kept.
        ASSERT_EQ(::mkfifo((root.path() / "pipe.csv").c_str(), 0600), 0);
        const ExportOutcome pipe = writeExportFile(root.path() / "pipe.csv", "1,2\r\n");
        EXPECT_NE(pipe.failure.find("not a regular file"), std::string::npos) << pipe.failure;
        EXPECT_TRUE(std::filesystem::is_fifo(root.path() / "pipe.csv"));
        std::filesystem::create_directory(root.path() / "taken.pdf");
        EXPECT_NE(writeExportFile(root.path() / "taken.pdf", "%PDF-").failure.find("folder"),
            std::string::npos);
        EXPECT_TRUE(test::temporaryFilesIn(root.path()).empty());
    }

    TEST(ExportFile, ARegularFileIsReplacedWholeOrKeptWithTheSystemsReason)
    {
        test::TempRoot root;
        root.writeFile("report.TXT", std::string(4000, 'x'));
        ASSERT_TRUE(writeExportFile(root.path() / "report.TXT", "Report of 8 groups\r\n"));
        EXPECT_EQ(root.read("report.TXT"), "Report of 8 groups\r\n");
        ASSERT_TRUE(writeExportFile(root.path() / "new.csv", ""));
        EXPECT_EQ(root.read("new.csv"), "");

        test::FailingFileOperations full;
        full.failAt(test::FailingFileOperations::Call::Write, 1, ENOSPC);
        EXPECT_EQ(writeExportFile(root.path() / "report.TXT", "cut short", full).failure,
            std::strerror(ENOSPC));
        EXPECT_EQ(root.read("report.TXT"), "Report of 8 groups\r\n");
        EXPECT_EQ(writeExportFile(root.path() / "no-folder" / "a.png", "x").failure,
            std::strerror(ENOENT));
        EXPECT_TRUE(test::temporaryFilesIn(root.path()).empty());
    }

} // namespace
} // namespace quantem::core
