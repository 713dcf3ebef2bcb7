#pragma once

#include "core/Session.h"
#include "ranking/RankRow.h"

#include <atomic>
#include <memory>
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

/// The ranking input of a session: its sample file read through its store, the sample count
/// Text2, and as the power initial value Text4 while it holds one (a model 1-50 is current and
/// the box is not empty), else "1", the value a model's selection puts there.
RankingInput rankingInputOf(const core::Session& session);

/// The input's sample file read into numbers, once for all the runs of a ranking; null when
/// there is no sample file.
std::shared_ptr<const core::SampleStorage> readSampleFile(const RankingInput& input);

/// The sample count of the input as a whole number of groups, 0 when it is not a count.
int sampleCountOf(const RankingInput& input);

/// The most items of the sample file that runs on groups of groupSize numbers read: the groups
/// the sample count asks for (core::SampleData::itemsFor); 0 when the count is no number, which
/// every run refuses before it reads.
std::size_t itemsOfRanking(const RankingInput& input, int groupSize);

/// What the user does to fit a model from the menus: its selection command, the sample count and
/// the power initial value (the element count or degree for 51 and 52) typed in, then the
/// regression command of the Data menu. Each step runs as a command: a fault it does not trap
/// ends that step and shows the input error. withNotes adds the notices the main window gives
/// about a fit (app::regressWithNotes), as its own regression does.
void fitAsFromMenus(core::Session& session, const RankingInput& input, const ModelChoice& choice,
    bool withNotes = false);

/// Fits one model as the user would on a fresh install root, but in memory: the start-up reset,
/// the model's selection command, the sample count and the power initial value (the element
/// count or degree for 51 and 52) typed in, and the regression command of the Data menu. Then
/// reads the row from the window state and the scratch files. The user's files are never touched.
/// Returns no row when stop was set during the run. samplesRead, when given, is
/// readSampleFile(input): the run takes its samples from there instead of reading the bytes.
std::optional<RankRow> fitModel(const RankingInput& input, const ModelChoice& choice,
    const std::atomic<bool>* stop = nullptr,
    std::shared_ptr<const core::SampleStorage> samplesRead = nullptr);

} // namespace quantem::ranking
