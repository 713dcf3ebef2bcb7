#pragma once

#include "analysis/FitSnapshot.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace quantem::analysis {

/// What a refinement reached.
struct Refinement
{
    std::vector<double> coefficients; // a0..ae
    std::vector<double> exponents; // k1..kk, offsets included as published
    double sse = 0.0;
    double startSse = 0.0; // of the published fit on the same groups
    int iterations = 0;
    std::string stopReason;
    /// Where the search that reached the values began: "the published fit", "a plain start"
    /// or the name of a start the caller gave.
    std::string start;
    /// True when the optimum's sum of squares is lower than the published fit's; the values
    /// above are then the refined ones, otherwise the published ones.
    bool accepted = false;
};

/// Hooks of a long refinement: progress is called after every iteration with its number; a
/// refinement whose cancel flag is set stops after the iteration under way.
struct RefineControl
{
    std::function<void(int iteration)> progress;
    const std::atomic<bool>* cancel = nullptr;
};

/// Exponents from which a refinement may start besides the published ones (term offsets
/// included, as FitSnapshot::exponents), with the name the details give the start.
struct RefineStart
{
    std::string name;
    std::vector<double> exponents;
};

/// Minimises the sum of squared residuals over all coefficients and exponents jointly, with
/// Levenberg-Marquardt on the exact derivatives. The exponents are searched first from the
/// published ones, from a plain start and from each of starts (a start of the wrong size is
/// passed over); the lowest end is then polished over everything together. Models 51 and 52
/// are linear in their coefficients: their refinement is the stable solve. Never throws.
Refinement refine(const FitSnapshot& fit, const RefineControl& control = {},
    const std::vector<RefineStart>& starts = {});

} // namespace quantem::analysis
