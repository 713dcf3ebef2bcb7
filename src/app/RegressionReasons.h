#pragma once

#include "core/ModelCatalogue.h"
#include "core/Session.h"

#include <cstddef>
#include <optional>
#include <string>

namespace quantem::app {

/// Where a regression started: the message windows shown and the fits published by then.
struct RegressionMark
{
    std::size_t showings = 0;
    int publishedFits = 0;
};

RegressionMark markRegression(const core::Session& session);

/// Why a fit of model 51 or 52 since mark ended with neither a message window nor a result:
/// the sample file cannot be read (with the system's reason), or an item of the groups asked
/// for is not a number. No value for other models, other endings or when no reason is found.
std::optional<std::string> silentEndReason(
    const core::Session& session, core::ModelId model, const RegressionMark& mark);

/// Why "Model choice mistake !" was shown since mark: the power initial value of a model with
/// exponents starts the search from 0 (an empty text, one that is not a number, 0, a number too
/// small for single precision). No value when no such window was shown without a reason of its
/// own, or the search started from another value.
std::optional<std::string> modelChoiceReason(
    const core::Session& session, core::ModelId model, const RegressionMark& mark);

/// After a regression: the reason of silentEndReason or modelChoiceReason, if any, goes into
/// status panel 1. The windows shown, the labels and the files stay as the regression left them.
void explainRegression(core::Session& session, core::ModelId model, const RegressionMark& mark);

} // namespace quantem::app
