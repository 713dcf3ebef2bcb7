#include "cli/RunNotices.h"

#include "analysis/RefinementNotice.h"
#include "app/Commands.h"
#include "app/PublishRefinedFit.h"
#include "app/SampleLayoutNotice.h"
#include "app/ShownFitRefinement.h"
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
        // Groups read across the lines (told first) make the remark beside the point: the
        // panel keeps telling that.
        if (notices.empty())
            core::postNotice(session.form1, core::NoticeKind::Warning, *notice);
        notices.push_back(std::move(*notice));
    }
}

} // namespace quantem::cli
