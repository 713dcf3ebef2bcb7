#pragma once

#include "core/ModelCatalogue.h"
#include "core/SampleData.h"
#include "core/ScratchStore.h"
#include "core/Session.h"
#include "core/WindowStates.h"

namespace quantem::linear {

/// The most regressors (elements or degree) a linear-family run accepts.
inline constexpr int kMaxRegressors = 50;

/// The run indicator's two colours: olive before a run that turns it blue, blue before one that
/// turns it back.
inline constexpr core::Colour kIndicatorOlive { 100, 100, 0 };
inline constexpr core::Colour kIndicatorBlue { 50, 100, 255 };

/// One fit of model 51 (multiple linear, groups x1..xn, y) or 52 (polynomial of degree n, groups
/// x, y): N from Text2, n from Text4. Reads data.qtm once, solves the normal equations, writes
/// hgb.sys (a0..an) and xs.sys (ModelId, R, F, S), fills Label2..Label8 and Label17..Label22, puts
/// the report into Text5 and toggles the run indicator.
/// Problems show only as Form5: n above 50 or a count that is not a whole number of at least 1
/// shows the standing text before anything is read or written; overflow, division by zero,
/// subscript, out of memory and a sample file shorter than N groups show the standing text;
/// any other fault (sample file missing, text where a number belongs, a file that cannot be
/// written) ends the run silently. Files and labels of the steps reached stay as written; no file
/// is ever left half written. Never throws. Any model other than 51 or 52 does nothing.
void runLinearFamilyFit(core::Session& session, core::ModelId model);

/// Sets Timer1 to 10 ms and flips Picture2: olive becomes blue, any other colour olive.
void toggleRunIndicator(core::Form1& form);

/// The second pass of a run: reads a0..an back from hgb.sys and the group count from Text2 (a
/// fault there is thrown to the caller), then evaluates the model for Val(Text2) groups of samples
/// and shows the biggest error, mean error (single) and mean relative error in Label20..Label22.
/// Any fault while evaluating leaves the three labels as they were; samples == nullptr (no
/// data.qtm) shows Form5 with "Have no data !" and sets the three labels to 0.
void residualPass(
    core::Session& session, core::ModelId model, int regressors, const core::SampleData* samples);

} // namespace quantem::linear
