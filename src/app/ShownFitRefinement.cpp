#include "app/ShownFitRefinement.h"

#include "analysis/FitSnapshot.h"
#include "analysis/RefinementNotice.h"
#include "app/OtherStartSearches.h"
#include "core/ModelCatalogue.h"
#include "core/Notices.h"
#include "core/StopSwitch.h"

#include <atomic>

namespace quantem::app {

std::optional<analysis::Refinement> refineShownFit(const core::Session& session)
{
    const core::ModelId model = session.form1.checkedModel;
    if (core::findModel(model) == nullptr || core::usesLinearEngine(model))
        return std::nullopt;
    const std::optional<analysis::FitSnapshot> fit = analysis::takeSnapshot(session);
    if (!fit)
        return std::nullopt;
    std::atomic<bool> stopped { false };
    const std::vector<analysis::RefineStart> starts = searchesFromOtherStarts(session, stopped);
    analysis::RefineControl control;
    control.cancel = &stopped;
    // Only the refinement's first thread reports; a stop raised there cancels them all.
    control.progress = [&session, &stopped](int) {
        if (session.progress == nullptr)
            return;
        try {
            session.progress->progress(session.form1);
        } catch (const core::RunStopped&) {
            stopped = true;
        }
    };
    if (stopped)
        return std::nullopt;
    analysis::Refinement refinement = analysis::refine(*fit, control, starts);
    if (stopped)
        return std::nullopt;
    return refinement;
}

std::optional<std::string> noteMuchBetterOptimum(core::Session& session)
{
    std::string& panel = session.form1.StatusBar1[0];
    // A notice about an earlier fit does not stay to be read as one about this fit.
    if (panel.starts_with(analysis::kMuchBetterStart))
        panel.clear();
    const std::optional<analysis::Refinement> refinement = refineShownFit(session);
    if (!refinement)
        return std::nullopt;
    std::optional<std::string> notice = analysis::muchBetterNotice(*refinement);
    if (notice)
        core::postNotice(session.form1, core::NoticeKind::Warning, *notice);
    return notice;
}

} // namespace quantem::app
