#include "cli/RunNotices.h"

#include "analysis/RefinementNotice.h"
#include "app/Commands.h"
#include "app/PublishRefinedFit.h"
#include "app/SampleLayoutNotice.h"
#include "app/ShownFitRefinement.h"
#include "app/SingularDesignNotice.h"
#include "core/Notices.h"

namespace quantem::cli {

std::vector<std::string> noticesBeforeFit(core::Session& session)
{
    std::vector<std::string> notices;
    if (std::optional<std::string> layout = app::noteSampleLayout(session))
        notices.push_back(std::move(*layout));
    return notices;
}

void checkPublishedFit(
    core::Session& session, bool publishRefined, std::vector<std::string>& notices)
{
    // The panel keeps the run's first notice: groups read across the lines make every later
    // remark on the fit beside the point, and a singular design any remark on a better optimum.
    if (std::optional<std::string> singular = app::singularDesignNotice(session)) {
        if (notices.empty())
            core::postNotice(session.form1, core::NoticeKind::Warning, *singular);
        notices.push_back(std::move(*singular));
    }
    const std::optional<analysis::Refinement> refinement = app::refineShownFit(session);
    if (!refinement)
        return;
    if (publishRefined) {
        app::runCommand(
            session, [&] { app::publishRefinedFit(session, *refinement); },
            app::CommandStart::Continuing);
        return;
    }
    if (std::optional<std::string> notice = analysis::muchBetterNotice(*refinement)) {
        if (notices.empty())
            core::postNotice(session.form1, core::NoticeKind::Warning, *notice);
        notices.push_back(std::move(*notice));
    }
}

} // namespace quantem::cli
