#pragma once

#include "ranking/RankRow.h"

#include <atomic>
#include <optional>
#include <string>

namespace quantem::ranking {

/// What every run of a ranking starts from: the bytes of the user's sample file (none when it
/// does not exist), and the texts the user typed as the sample count and the power initial
/// value.
struct RankingInput
{
    std::optional<std::string> sampleFile;
    std::string samples;
    std::string power = "1";
};

/// Thrown out of a run's progress hook when a ranking is stopped; no command traps it.
struct RunStopped
{
};

/// Fits one model as the user would on a fresh install root, but in memory: the start-up reset,
/// the model's selection command, the sample count and the power initial value (the element
/// count or degree for 51 and 52) typed in, and the regression command of the Data menu. Then
/// reads the row from the window state and the scratch files. The user's files are never touched.
/// Returns no row when stop was set during the run.
std::optional<RankRow> fitModel(
    const RankingInput& input, const ModelChoice& choice, const std::atomic<bool>* stop = nullptr);

} // namespace quantem::ranking
