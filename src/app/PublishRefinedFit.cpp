#include "app/PublishRefinedFit.h"

#include "analysis/RefinementNotice.h"
#include "core/Fault.h"
#include "core/ModelCatalogue.h"
#include "engine_power/PublishAtExponents.h"

namespace quantem::app {

namespace {

    /// What JC.sys holds after the start-up reset: above any mean error a fit reports.
    constexpr double kNoReportYet = 9.85E+13;

} // namespace

std::string refinedReportLine(const analysis::Refinement& refinement)
{
    return "The values were refined to the least-squares optimum from " + refinement.start
        + " (sum of squares " + analysis::sumOfSquaresText(refinement.startSse) + " before, "
        + analysis::sumOfSquaresText(refinement.sse) + " after).";
}

bool publishRefinedFit(core::Session& session, const analysis::Refinement& refinement)
{
    const core::ModelId model = session.form1.checkedModel;
    const core::ModelDescriptor* descriptor = core::findModel(model);
    if (!refinement.accepted || descriptor == nullptr || descriptor->exponents == 0
        || core::usesLinearEngine(model))
        return false;
    session.store.writeRecord(core::ScratchFile::Jc, core::Record { kNoReportYet });
    const int before = session.form1.publishedFits;
    const std::string reportBefore = session.form1.Text5;
    power::publishAtExponents(session, model, refinement.exponents);
    if (session.form1.publishedFits == before)
        return false;
    // Only a report composed for this fit says how its values came about.
    if (session.form1.Text5 != reportBefore)
        session.form1.Text5 += "\r\n" + refinedReportLine(refinement);
    return true;
}

} // namespace quantem::app
