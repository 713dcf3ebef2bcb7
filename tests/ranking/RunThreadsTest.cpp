#include "ranking/RunThreads.h"

#include "SameRows.h"
#include "core/SamplePrefix.h"
#include "ranking/BackgroundRanking.h"
#include "ranking/Ranking.h"
#include "support/ModelSamples.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

namespace quantem::ranking {
namespace {

    /// Starts the first allowed threads, then refuses as a system out of threads does.
    ThreadStarter refusingAfter(int allowed, std::atomic<int>& asked)
    {
        return [allowed, &asked](std::function<void()> work) {
            if (asked.fetch_add(1) >= allowed)
                throw std::system_error(
                    std::make_error_code(std::errc::resource_unavailable_try_again));
            return std::thread(std::move(work));
        };
    }

    TEST(RunThreads, ThreadsThatCannotStartLeaveTheWorkToTheOthers)
    {
        for (int allowed : { 0, 2, 7 }) {
            SCOPED_TRACE(allowed);
            std::atomic<int> asked { 0 };
            std::mutex lock;
            std::set<std::thread::id> workers;
            std::atomic<int> pieces { 0 };
            std::atomic<int> next { 0 };
            const auto work = [&] {
                {
                    const std::lock_guard<std::mutex> guard(lock);
                    workers.insert(std::this_thread::get_id());
                }
                while (next++ < 100)
                    ++pieces;
            };
            const int ran = runOnThreads(6, work, refusingAfter(allowed, asked));
            EXPECT_EQ(ran, std::min(allowed, 5) + 1);
            EXPECT_EQ(static_cast<int>(workers.size()), ran);
            EXPECT_EQ(workers.count(std::this_thread::get_id()), 1u); // the caller always works
            EXPECT_EQ(pieces, 100);
        }
    }

    TEST(RunThreads, ARankingWithThreadsRefusedGivesTheRowsOfOneThread)
    {
        RankingInput input;
        const std::string samples
            = test::sampleFileText(test::modelSamples(19, test::generatingModel(19)));
        // A tail past the 40 groups asked for that no run may read: text where numbers are.
        input.sampleFile = samples + "not,a,number\r\n";
        input.samples = "40";
        input.power = "1";
        const std::vector<ModelChoice> plan = rankingPlan(3, 40);
        RankingInput exact = input;
        exact.sampleFile = samples;
        const std::vector<RankRow> serial = rankModels(exact, plan, 1);
        ASSERT_EQ(serial.size(), plan.size());
        for (int allowed : { 0, 1 }) {
            SCOPED_TRACE(allowed);
            std::atomic<int> asked { 0 };
            RankingControl control;
            expectSameRows(
                serial, rankModels(input, plan, 4, &control, {}, refusingAfter(allowed, asked)));
            EXPECT_EQ(asked, allowed + 1); // none is asked for after the first refusal
            EXPECT_EQ(control.finished(), plan.size());
        }
        // Not even the thread that drives a ranking beside the caller: the caller makes it.
        std::atomic<int> asked { 0 };
        const BackgroundRanking alone(input, plan, 3, {}, refusingAfter(0, asked));
        EXPECT_TRUE(alone.done());
        expectSameRows(serial, alone.rows());
    }

    TEST(RunThreads, TheSharedReadingHoldsTheItemsAskedForWholeAndNoMore)
    {
        // Items cut by every reading buffer's end: the bytes kept hold each item read whole.
        std::string text;
        for (int i = 0; i < 40000; ++i)
            text += std::to_string(1000003 + i) + (i % 3 == 2 ? "\r\n" : ",");
        const core::SamplePrefix prefix = core::readSamplePrefix(text, 30001);
        ASSERT_EQ(prefix.samples.itemCount(), 30001u);
        EXPECT_EQ(prefix.samples.storage().values()[30000], 1030003.0);
        EXPECT_LT(prefix.bytes.size(), text.size());
        EXPECT_EQ(text.compare(0, prefix.bytes.size(), prefix.bytes), 0);
        const core::SamplePrefix again = core::readSamplePrefix(prefix.bytes, 30001);
        EXPECT_EQ(again.samples.itemCount(), 30001u);
        EXPECT_EQ(again.samples.storage().values()[30000], 1030003.0);
        EXPECT_EQ(core::readSamplePrefix(text, core::SampleData::kAllItems).bytes, text);
    }

} // namespace
} // namespace quantem::ranking
