#include "ranking/Ranking.h"

#include <algorithm>
#include <oneapi/tbb/blocked_range.h>
#include <oneapi/tbb/global_control.h>
#include <oneapi/tbb/parallel_for.h>
#include <oneapi/tbb/partitioner.h>
#include <oneapi/tbb/task_arena.h>
#include <oneapi/tbb/task_group.h>
#include <optional>

namespace quantem::ranking {

namespace {

    // Absent values order after present ones.
    int compareOptional(const std::optional<double>& a, const std::optional<double>& b)
    {
        if (a && b)
            return *a < *b ? -1 : (*b < *a ? 1 : 0);
        if (a || b)
            return a ? -1 : 1;
        return 0;
    }

    bool ranksBefore(const RankRow& a, const RankRow& b)
    {
        if (a.fitted() != b.fitted())
            return a.fitted();
        if (!a.fitted())
            return false;
        if (const int byAicc = compareOptional(a.aicc, b.aicc); byAicc != 0)
            return byAicc < 0;
        return compareOptional(a.statistic(Statistic::MeanError), b.statistic(Statistic::MeanError))
            < 0;
    }

} // namespace

void orderByRank(std::vector<RankRow>& rows)
{
    std::stable_sort(rows.begin(), rows.end(), ranksBefore);
}

std::vector<RankRow> rankModels(const RankingInput& input, const std::vector<ModelChoice>& plan,
    int threads, RankingControl* control)
{
    RankingControl ownControl;
    RankingControl& watch = control != nullptr ? *control : ownControl;
    std::vector<std::optional<RankRow>> results(plan.size());
    tbb::task_group_context context;
    tbb::task_arena arena(threads > 0 ? threads : tbb::task_arena::automatic);
    // More threads than cores were asked for: let the scheduler have them for this ranking.
    std::optional<tbb::global_control> allowance;
    if (threads > tbb::this_task_arena::max_concurrency())
        allowance.emplace(
            tbb::global_control::max_allowed_parallelism, static_cast<std::size_t>(threads));
    // Models are split between threads, one model per task: each run has its own session and
    // store and takes every sum in file order, so no result depends on the thread it ran on.
    arena.execute([&] {
        tbb::parallel_for(
            tbb::blocked_range<std::size_t>(0, plan.size(), 1),
            [&](const tbb::blocked_range<std::size_t>& range) {
                for (std::size_t i = range.begin(); i != range.end(); ++i) {
                    if (watch.stopRequested()) {
                        context.cancel_group_execution();
                        return;
                    }
                    results[i] = fitModel(input, plan[i], watch.stopFlag());
                    if (results[i])
                        watch.countFinished();
                }
            },
            tbb::simple_partitioner(), context);
    });
    std::vector<RankRow> rows;
    for (std::optional<RankRow>& row : results) {
        if (row)
            rows.push_back(std::move(*row));
    }
    orderByRank(rows);
    return rows;
}

} // namespace quantem::ranking
