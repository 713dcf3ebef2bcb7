#pragma once

#include "core/ModelCatalogue.h"
#include "core/SampleData.h"
#include "core/ScratchStore.h"
#include "core/Session.h"

namespace quantem::results {

/// The caption the report frame gets after every residual pass (with its trailing blank).
inline constexpr const char* kReportFrameCaption = "Return to model of overview report ";

/// The three error statistics of a residual pass.
struct ResidualStatistics
{
    double biggestError = 0.0;
    float meanError = 0.0f;
    double meanRelativeError = 0.0;
};

/// The second pass of a power-model fit: reads the offsets (culi.sys) and the published
/// coefficients (XB.sys), evaluates the model for Val(Text2) sample groups with the offsets
/// added, shows the biggest error, mean error (single) and mean relative error (against the
/// model value) in Label20..Label22, sets Frame1's caption and builds the report. A fault at a
/// group (or in reading the two files) ends the pass there: the sums of the groups before it are
/// divided by n. samples == nullptr (no data.qtm) shows Form5 with "Have no data !" and gives
/// zero sums. Never throws.
void powerResidualPass(
    core::Session& session, core::ModelId model, const core::SampleData* samples);

/// The same with data.qtm read from the store.
void powerResidualPass(core::Session& session, core::ModelId model);

} // namespace quantem::results
