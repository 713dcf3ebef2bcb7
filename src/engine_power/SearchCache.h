#pragma once

#include "engine_power/PowerEvaluation.h"
#include "engine_power/TermSums.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace quantem::power {

/// What an evaluation takes from the window and culi.sys before it looks at the samples.
struct EvaluationInputs
{
    int n = 0;
    int e = 0;
    float s = 0.0f;
    double c1 = 0.0;
    double c2 = 0.0;
    double c3 = 0.0;
    std::int16_t c4 = 0;
};

/// What the evaluations of one search compute once: the inputs (the window's boxes and
/// culi.sys do not change while a search runs), the groups after their offsets and nudges with
/// the first group that fails, and the term sums.
class SearchCache
{
public:
    bool inputsRead = false;
    bool inputsFailed = false; // every evaluation then ends before the samples
    EvaluationInputs inputs;

    bool prepared = false;
    int groupsToRead = 0; // the groups an evaluation reads when none fails
    PreparedGroups groups; // those before the first that fails
    /// How the first failing group ends an evaluation (InputError or ModelChoiceMistake), or
    /// Stepped when every group passes.
    EvaluationOutcome failure = EvaluationOutcome::Stepped;
    std::unique_ptr<TermSums> sums;
};

} // namespace quantem::power
