// Rankings in one long-lived process, as the desktop program runs them from its ranking window:
// rounds of one ranking on one thread and one on all cores, in turn, so that other work on the
// machine weighs on both alike. One ranking each way comes first and is not timed, as a window
// opened a second time finds the program already running.
//
// usage: bench_ranking_rounds ROOT GROUPS ROUNDS
//          ranks the samples of ROOT's data.qtm; prints one line per round: the wall
//          milliseconds on one thread, then on all cores.

#include "cli/RankCommand.h"
#include "core/ProcessMemory.h"
#include "core/ScratchStore.h"
#include "ranking/Ranking.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace quantem;

double rankingMilliseconds(const ranking::RankingInput& input,
    const std::vector<ranking::ModelChoice>& plan, int threads, std::string& table)
{
    const auto start = std::chrono::steady_clock::now();
    const std::vector<ranking::RankRow> rows = ranking::rankModels(input, plan, threads);
    const auto end = std::chrono::steady_clock::now();
    std::ostringstream csv;
    cli::printRankCsv(rows, csv);
    table = csv.str();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_ranking_rounds ROOT GROUPS ROUNDS\n");
        return 2;
    }
    core::keepFreedMemory();
    ranking::RankingInput input;
    // Read as quantem-fit --rank reads it: through the store.
    input.sampleFile = core::ScratchStore(argv[1]).backend().read(core::ScratchFile::Data);
    if (!input.sampleFile) {
        std::fprintf(stderr, "bench_ranking_rounds: %s holds no data.qtm\n", argv[1]);
        return 2;
    }
    input.samples = argv[2];
    const std::vector<ranking::ModelChoice> plan
        = ranking::rankingPlan(2, ranking::sampleCountOf(input));
    const int rounds = std::atoi(argv[3]);

    std::string serial;
    std::string parallel;
    rankingMilliseconds(input, plan, 1, serial);
    rankingMilliseconds(input, plan, 0, parallel);
    for (int round = 0; round < rounds; ++round) {
        const double one = rankingMilliseconds(input, plan, 1, serial);
        const double all = rankingMilliseconds(input, plan, 0, parallel);
        // Times of different tables would compare nothing.
        if (serial != parallel) {
            std::fprintf(
                stderr, "bench_ranking_rounds: the parallel table differs from the serial one\n");
            return 1;
        }
        std::printf("%.3f %.3f\n", one, all);
    }
    return 0;
}
