#include "ranking/ModelFit.h"

#include "analysis/RefinementNotice.h"
#include "core/Session.h"
#include "support/HashedSamples.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quantem::ranking {
namespace {

    /// Runs the test body with the working directory moved to dir, and back after it.
    class WorkingDirectory
    {
    public:
        explicit WorkingDirectory(const std::filesystem::path& dir)
            : m_previous(std::filesystem::current_path())
        {
            std::filesystem::current_path(dir);
        }
        ~WorkingDirectory() { std::filesystem::current_path(m_previous); }

    private:
        std::filesystem::path m_previous;
    };

    TEST(ModelFit, RunInMemoryNeverLooksAtTheWorkingDirectory)
    {
        // A picture directory where a relative path would find it: a store in memory must not.
        test::TempRoot here;
        here.writeFile("sz/gs311.bmp", "BM");
        const WorkingDirectory moved(here.path());
        core::Session session(core::ScratchStore::inMemory(
            { { core::ScratchFile::Data, "1,2.5\r\n2,7.1\r\n3,13.2\r\n4,20.1\r\n" } }));
        RankingInput input;
        input.samples = "4";
        fitAsFromMenus(session, input, { 7, std::nullopt });
        EXPECT_EQ(session.form1.Picture1, "");
        EXPECT_EQ(session.form1.checkedModel, 7);
        EXPECT_NE(session.form1.Label11, " "); // the fit itself ran
        EXPECT_TRUE(std::filesystem::is_empty(here.path() / "sys"));
    }

    TEST(ModelFit, InputOfASessionTakesThePowerOnlyWhileTheBoxHoldsOne)
    {
        test::TempRoot root;
        root.writeSamples("1,2\r\n2,3\r\n");
        core::Session session(root.path());
        session.form1.Text2 = "2";
        session.form1.Text4 = ".75";
        // No model chosen yet: the box still holds its first text, not a value the user typed.
        EXPECT_EQ(rankingInputOf(session).power, "1");
        session.form1.checkedModel = 7;
        const RankingInput input = rankingInputOf(session);
        EXPECT_EQ(input.power, ".75");
        EXPECT_EQ(input.samples, "2");
        EXPECT_EQ(input.sampleFile, "1,2\r\n2,3\r\n");
        // Model 51's box holds its element count; a power model's may have been emptied.
        session.form1.checkedModel = 51;
        EXPECT_EQ(rankingInputOf(session).power, "1");
        session.form1.checkedModel = 8;
        session.form1.Text4 = "";
        EXPECT_EQ(rankingInputOf(session).power, "1");

        EXPECT_EQ(sampleCountOf({ {}, "12", "1" }), 12);
        EXPECT_EQ(sampleCountOf({ {}, "abc", "1" }), 0);
        EXPECT_EQ(sampleCountOf({ {}, "-5", "1" }), 0);
        EXPECT_EQ(sampleCountOf({ {}, "1e400", "1" }), 0);
    }

    TEST(ModelFit, ARowFarFromItsOptimumCarriesTheNoticeAndOneAtItDoesNot)
    {
        RankingInput input;
        input.sampleFile = test::model16Samples();
        input.samples = "30";
        input.power = ".5";
        const std::optional<RankRow> far = fitModel(input, { 16, std::nullopt });
        ASSERT_TRUE(far);
        ASSERT_EQ(far->notices.size(), 1u);
        EXPECT_TRUE(far->notices[0].starts_with(analysis::kMuchBetterStart));
        // A model without exponents is at its optimum already.
        const std::optional<RankRow> linear = fitModel(input, { 2, std::nullopt });
        ASSERT_TRUE(linear);
        EXPECT_TRUE(linear->notices.empty());
    }

} // namespace
} // namespace quantem::ranking
