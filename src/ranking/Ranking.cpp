#include "ranking/Ranking.h"

#include "ranking/CoreSpread.h"

#include <algorithm>
#include <numeric>
#include <oneapi/tbb/global_control.h>
#include <oneapi/tbb/parallel_pipeline.h>
#include <oneapi/tbb/task_arena.h>
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
    int threads, RankingControl* control, const std::vector<equation::EquationEntry>& equations)
{
    RankingControl ownControl;
    RankingControl& watch = control != nullptr ? *control : ownControl;
    // Runs 0 .. plan.size() - 1 fit the plan's models, the rest the equations in their order.
    std::vector<std::optional<RankRow>> results(plan.size() + equations.size());
    tbb::task_arena arena(threads > 0 ? threads : tbb::task_arena::automatic);
    // More threads than cores were asked for: let the scheduler have them for this ranking.
    std::optional<tbb::global_control> allowance;
    if (threads > tbb::this_task_arena::max_concurrency())
        allowance.emplace(
            tbb::global_control::max_allowed_parallelism, static_cast<std::size_t>(threads));
    // Each run has its own session and store and takes every sum in file order, so no result
    // depends on the thread it ran on or on when it started. Runs are handed out one at a time,
    // the longest first, to whichever thread is free: the threads then finish together.
    // The equations' work is not known beforehand: they start first, so that none of them is
    // left running alone at the end.
    std::vector<std::size_t> order(equations.size());
    std::iota(order.begin(), order.end(), plan.size());
    for (std::size_t i : longestFirst(plan))
        order.push_back(i);
    // The other threads take a while to come up: they are called now and come while the sample
    // file is read, which every run then shares. Each makes its first run on a core of its own.
    CoreSpread spread;
    const bool spreading = arena.max_concurrency() > 1;
    if (spreading)
        arena.enqueue([] {});
    const std::shared_ptr<const core::SampleStorage> samplesRead = readSampleFile(input);
    std::size_t next = 0;
    arena.execute([&] {
        tbb::parallel_pipeline(static_cast<std::size_t>(arena.max_concurrency()),
            tbb::make_filter<void, std::size_t>(tbb::filter_mode::serial_in_order,
                [&](tbb::flow_control& flow) -> std::size_t {
                    if (next == order.size() || watch.stopRequested()) {
                        flow.stop();
                        return 0;
                    }
                    return order[next++];
                })
                & tbb::make_filter<std::size_t, void>(
                    tbb::filter_mode::parallel, [&](std::size_t i) {
                        if (spreading)
                            spread.place();
                        results[i] = i < plan.size()
                            ? fitModel(input, plan[i], watch.stopFlag(), samplesRead)
                            : fitEquationRow(
                                input, equations[i - plan.size()], watch.stopFlag(), samplesRead);
                        if (results[i])
                            watch.countFinished();
                    }));
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
