#pragma once

#include "engine_power/ExponentSet.h"

namespace quantem::power {

/// The ways one evaluation can end.
enum class EvaluationOutcome
{
    Stepped, // criterion written to r1.sys, step result to rr.sys
    PerfectFit, // Q exactly 0: F = 1E+20, search index moved to k + 1, nothing written
    CriterionLimit, // |F| at or beyond 1.79769313486E+308: search index moved to k + 1
    InputError, // a group failed the sample checks, or the samples could not be read
                // as groups (missing, short, not a number): Form5 shown
    ModelChoiceMistake, // invalid argument or overflow: Form6 shown
    ZeroPivot, // an exactly zero pivot in the elimination: ended silently
    EndedSilently, // any other fault (before the data pass, a division by zero after it)
};

/// The limit of the criterion beyond which a fit counts as final.
inline constexpr double kCriterionLimit = 1.79769313486E+308;

/// One fit of a catalogue model for fixed exponents. Reads Text2, Text3, Text4 and culi.sys,
/// takes N groups from the run's samples, sets the exponents from the candidate t (the shared
/// exponents and search index of the run), solves, and on the normal path writes the criterion
/// to r1.sys and the step result (change, R, F, S) to rr.sys, and shows R - 1.5, F - 9850,
/// S + 50 and the search index in status panels 4..7. When the search index is k + 1 at the end
/// the fit is published. Faults never leave it: each ends the evaluation as its outcome says.
EvaluationOutcome powerEvaluation(const PowerRun& run, double t, ExponentSet& exponents,
    SearchIndex& index, int exponentCount, core::ModelId model);

} // namespace quantem::power
