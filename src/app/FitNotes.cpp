#include "app/FitNotes.h"

#include "analysis/ConditioningNotice.h"
#include "app/SampleLayoutNotice.h"
#include "app/ShownFitRefinement.h"
#include "core/Notices.h"

namespace quantem::app {

bool regressWithNotes(core::Session& session, const std::function<bool()>& regress)
{
    const std::optional<std::string> layout = noteSampleLayout(session);
    const int publishedBefore = session.form1.publishedFits;
    if (!regress())
        return false;
    analysis::noteConditioning(session);
    if (session.form1.publishedFits > publishedBefore) {
        noteMuchBetterOptimum(session);
        // Groups read across the lines make every other remark on the fit beside the point.
        if (layout)
            core::postNotice(session.form1, core::NoticeKind::Warning, *layout);
    }
    return true;
}

} // namespace quantem::app
