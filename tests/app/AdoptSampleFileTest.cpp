#include "app/AdoptSampleFile.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quantem::app {
namespace {

    TEST(AdoptSampleFile, TakesTheFileAfterKeepingTheOldSamplesAndRefusesWhatIsNoSampleFile)
    {
        test::TempRoot root;
        std::filesystem::create_directories(root.path() / "sys");
        root.writeSamples("1,1\r\n2,4\r\n");
        root.writeFile("given.qtm", "1,2\r\n3,4\r\n5,7\r\n");
        const AdoptedSamples taken = adoptSampleFile(root.path(), root.path() / "given.qtm");
        EXPECT_TRUE(taken.adopted);
        EXPECT_EQ(root.read("data.qtm"), "1,2\r\n3,4\r\n5,7\r\n");
        EXPECT_EQ(root.read(kSampleBackupName), "1,1\r\n2,4\r\n");
        EXPECT_NE(taken.message.find(kSampleBackupName), std::string::npos);

        root.writeFile("words.txt", "x,y\r\n1,2\r\n");
        for (const char* name : { "absent.qtm", "words.txt", "sys" }) {
            const AdoptedSamples refused = adoptSampleFile(root.path(), root.path() / name);
            EXPECT_FALSE(refused.adopted) << name;
            EXPECT_NE(refused.message.find("were not taken"), std::string::npos) << name;
            EXPECT_EQ(root.read("data.qtm"), "1,2\r\n3,4\r\n5,7\r\n") << name;
            EXPECT_EQ(root.read(kSampleBackupName), "1,1\r\n2,4\r\n") << name;
        }
    }

} // namespace
} // namespace quantem::app
