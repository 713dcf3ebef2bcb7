#include "ranking/Ranking.h"

#include "core/SamplePrefix.h"
#include "equation/Formula.h"
#include "ranking/CoreSpread.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <new>
#include <numeric>
#include <oneapi/tbb/info.h>
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

    /// What the runs of a ranking share: the input with its sample file cut to the bytes they
    /// read, and those bytes read into numbers.
    struct RankingShare
    {
        RankingInput input;
        std::shared_ptr<const core::SampleStorage> samples;
    };

    RankingShare shareSampleFile(const RankingInput& input, int groupSize)
    {
        RankingShare share { { std::nullopt, input.samples, input.power }, nullptr };
        if (!input.sampleFile)
            return share;
        core::SamplePrefix prefix
            = core::readSamplePrefix(*input.sampleFile, itemsOfRanking(input, groupSize));
        share.input.sampleFile = std::move(prefix.bytes);
        share.samples = prefix.samples.sharedStorage();
        return share;
    }

    /// The largest group any run of the ranking reads.
    int largestGroup(
        const std::vector<ModelChoice>& plan, const std::vector<equation::EquationEntry>& equations)
    {
        int largest = 0;
        for (const ModelChoice& choice : plan)
            largest = std::max(largest, groupSizeOf(choice));
        for (const equation::EquationEntry& entry : equations) {
            const equation::CompileResult compiled = equation::compileFormula(entry.formula);
            if (compiled.tape)
                largest = std::max(largest, compiled.tape->variableCount + 1);
        }
        return largest;
    }

} // namespace

void orderByRank(std::vector<RankRow>& rows)
{
    std::stable_sort(rows.begin(), rows.end(), ranksBefore);
}

std::vector<RankRow> rankModels(const RankingInput& input, const std::vector<ModelChoice>& plan,
    int threads, RankingControl* control, const std::vector<equation::EquationEntry>& equations,
    const ThreadStarter& start)
{
    RankingControl ownControl;
    RankingControl& watch = control != nullptr ? *control : ownControl;
    // Runs 0 .. plan.size() - 1 fit the plan's models, the rest the equations in their order.
    std::vector<std::optional<RankRow>> results(plan.size() + equations.size());
    // Each run has its own session and store and takes every sum in file order, so no result
    // depends on the thread it ran on or on when it started. Runs are handed out one at a time,
    // the longest first, to whichever thread is free: the threads then finish together.
    // The equations' work is not known beforehand: they start first, so that none of them is
    // left running alone at the end.
    std::vector<std::size_t> order(equations.size());
    std::iota(order.begin(), order.end(), plan.size());
    for (std::size_t i : longestFirst(plan))
        order.push_back(i);
    // The sample file is read once, as far as the runs read it; the runs share the numbers and
    // each holds only those first bytes as its data.qtm.
    const RankingShare share = shareSampleFile(input, largestGroup(plan, equations));
    // One per core this process may run on, as the parallel loops count them.
    const int wanted = threads > 0 ? threads : tbb::info::default_concurrency();
    // More threads than runs would find nothing to do.
    const int count = static_cast<int>(std::clamp<std::size_t>(
        static_cast<std::size_t>(std::max(wanted, 1)), 1, std::max<std::size_t>(order.size(), 1)));
    CoreSpread spread;
    std::mutex lock;
    std::exception_ptr failure;
    // Runs that found no memory beside the others, for another try alone at the end.
    std::vector<std::size_t> starved;
    starved.reserve(order.size());
    // Makes run i; false when it ran out of memory.
    const auto make = [&](std::size_t i) {
        try {
            results[i] = i < plan.size()
                ? fitModel(share.input, plan[i], watch.stopFlag(), share.samples)
                : fitEquationRow(
                    share.input, equations[i - plan.size()], watch.stopFlag(), share.samples);
            if (results[i])
                watch.countFinished();
        } catch (const std::bad_alloc&) {
            return false;
        } catch (...) {
            const std::lock_guard<std::mutex> guard(lock);
            if (!failure)
                failure = std::current_exception();
            watch.requestStop();
        }
        return true;
    };
    std::atomic<std::size_t> next { 0 };
    const auto runs = [&] {
        for (std::size_t k = next++; k < order.size() && !watch.stopRequested(); k = next++) {
            if (!make(order[k])) {
                const std::lock_guard<std::mutex> guard(lock);
                starved.push_back(order[k]);
            }
        }
    };
    // The threads are the ranking's own, so that one the system refuses leaves its runs to the
    // others. The parallel loops within a run stay on its thread: an arena of one asks the
    // scheduler for no thread, so none that the system could refuse is started for them.
    const auto work = [&] {
        try {
            if (count > 1)
                spread.place();
            tbb::task_arena alone(1);
            alone.execute(runs);
        } catch (const std::bad_alloc&) {
            // No room for the arena: the runs go to the other threads, or to the last try.
        }
    };
    runOnThreads(count, work, start);
    // The runs left, alone now that the other threads are gone: those that found no memory, and
    // those no thread could take.
    for (std::size_t k = std::min(next.load(), order.size()); k < order.size(); ++k)
        starved.push_back(order[k]);
    std::size_t tried = 0;
    const auto lastTry = [&] {
        for (; tried < starved.size() && !watch.stopRequested(); ++tried) {
            if (!make(starved[tried]))
                watch.countOutOfMemory();
        }
    };
    try {
        tbb::task_arena alone(1);
        alone.execute(lastTry);
    } catch (const std::bad_alloc&) {
        for (; tried < starved.size(); ++tried)
            watch.countOutOfMemory();
    }
    if (failure)
        std::rethrow_exception(failure);
    std::vector<RankRow> rows;
    for (std::optional<RankRow>& row : results) {
        if (row)
            rows.push_back(std::move(*row));
    }
    orderByRank(rows);
    return rows;
}

} // namespace quantem::ranking
