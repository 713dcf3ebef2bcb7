#pragma once

#include "core/ModelCatalogue.h"
#include "core/SampleData.h"
#include "core/ScratchStore.h"
#include "core/Session.h"

#include <array>

namespace quantem::power {

/// The most exponents a catalogue model has.
inline constexpr int kMaxExponents = 6;

/// k1..k6 as the search and its evaluations share them (index 0 is k1); 0 at the start of a run.
using ExponentSet = std::array<double, kMaxExponents>;

/// The number of the exponent under search: 1..k while exponent i is searched, k + 1 in the
/// final evaluation. An evaluation may move it to k + 1 to end the search early.
using SearchIndex = int;

class SearchCache;
class CriterionHandoff;

/// What the evaluations of one run share besides the exponents: the session, and the samples of
/// data.qtm read once when the run starts (nullptr when the file could not be read then; every
/// evaluation then meets the missing file as it opens it). A search also passes what its
/// evaluations keep for each other (the inputs, the prepared groups, the term sums) and the
/// criterion hand-off held in memory; without them an evaluation computes everything afresh and
/// goes through r1.sys and rr.sys.
struct PowerRun
{
    core::Session& session;
    const core::SampleData* samples;
    SearchCache* cache = nullptr;
    CriterionHandoff* handoff = nullptr;
};

/// The power initial value s in single precision: 1 for the models without exponents (1-6, 8,
/// 9), otherwise Val of Text4 rounded to single. Throws Fault 6 beyond the single range.
float startValue(const core::Form1& form, core::ModelId model);

} // namespace quantem::power
