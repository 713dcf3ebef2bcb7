#include "analysis/ConditioningNotice.h"

#include "analysis/FitDetails.h"
#include "analysis/FitSnapshot.h"
#include "analysis/FitSummary.h"
#include "analysis/ModelDesign.h"

namespace quantem::analysis {

bool noteConditioning(core::Session& session)
{
    std::string& panel = session.form1.StatusBar1[0];
    // A warning about an earlier fit does not stay to be read as one about this fit.
    if (panel.starts_with(kConditioningWarningStart))
        panel.clear();
    const std::optional<FitSnapshot> fit = takeSnapshot(session);
    if (!fit)
        return false;
    const std::optional<std::string> warning
        = conditioningWarning(scaledConditionNumber(designMatrix(*fit, fit->exponents)));
    if (!warning)
        return false;
    panel = *warning;
    return true;
}

} // namespace quantem::analysis
