#pragma once

#include "core/WindowStates.h"
#include "ranking/RankingPlan.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace quantem::ranking {

/// The six test parameters of a fit, in the order of the main window's Label17..Label22.
enum class Statistic
{
    R,
    F,
    S,
    BiggestError,
    MeanError,
    MeanRelativeError,
};
inline constexpr std::size_t kStatisticCount = 6;

/// One model's line of a ranking: what its run on a session of its own showed, or what the fit
/// of a saved equation reached.
struct RankRow
{
    ModelChoice choice; // model 0 for a saved equation
    /// The name of the saved equation fitted; none for a catalogue model.
    std::optional<std::string> equation;
    /// Every parameter of the equation's formula where its fit ended, in the formula's order.
    std::vector<double> equationValues;
    /// Why the equation's fit was refused or did not converge; empty when it converged.
    std::string equationProblem;
    std::string formula;
    int parameters = 0;
    /// Label17..Label22 as the run left them, and the numbers they show (none for a label that
    /// shows no number).
    std::array<std::string, kStatisticCount> statisticTexts;
    std::array<std::optional<double>, kStatisticCount> statistics;
    std::optional<double> aicc;
    std::optional<double> bic;
    /// From the refined fit, when the fit was refined.
    std::optional<double> refinedAicc;
    std::optional<double> refinedMeanError;
    /// What the program tells about the fit beside its statistics: the much better optimum.
    std::vector<std::string> notices;
    /// The message windows the run showed, in order.
    std::vector<core::Showing> showings;

    std::optional<double> statistic(Statistic which) const
    {
        return statistics[static_cast<std::size_t>(which)];
    }
    /// A model fitted when its run showed no message window and left all six statistics; an
    /// equation when its fit converged.
    bool fitted() const;
    /// The texts of the message windows shown, blanks trimmed, repeats of the same window and
    /// text told once, joined by "; "; empty when none was shown. An equation's problem.
    std::string message() const;
};

} // namespace quantem::ranking
