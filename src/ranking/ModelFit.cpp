#include "ranking/ModelFit.h"

#include "analysis/FitDetails.h"
#include "analysis/InformationCriteria.h"
#include "analysis/Refinement.h"
#include "analysis/RefinementNotice.h"
#include "app/Commands.h"
#include "app/FitNotes.h"
#include "app/ModelSelection.h"
#include "app/Regression.h"
#include "core/Fault.h"
#include "core/NumberText.h"
#include "core/SampleData.h"
#include "core/Session.h"
#include "core/StopSwitch.h"
#include "ranking/ResidualSum.h"

#include <cmath>
#include <map>

namespace quantem::ranking {

namespace {

    /// Ends a run between two evaluations once the ranking is stopped, and remembers that it
    /// did: a run that ended so has no row.
    class StopCheck final : public core::ProgressHook
    {
    public:
        explicit StopCheck(const std::atomic<bool>* stop)
            : m_stop(stop)
        {
        }
        void progress(const core::Form1&) override
        {
            if (m_stop == nullptr || !m_stop->load(std::memory_order_relaxed))
                return;
            m_stopped = true;
            throw core::RunStopped {};
        }
        bool stopped() const noexcept { return m_stopped; }

    private:
        const std::atomic<bool>* m_stop;
        bool m_stopped = false;
    };

    std::optional<double> shownNumber(const std::string& label)
    {
        const std::size_t first = label.find_first_not_of(' ');
        if (first == std::string::npos)
            return std::nullopt;
        double value = 0.0;
        const std::size_t last = label.find_last_not_of(' ');
        if (!core::parseNumber(std::string_view(label).substr(first, last - first + 1), value))
            return std::nullopt;
        return value;
    }

    void addInformationCriteria(
        RankRow& row, const core::Session& session, const ModelChoice& choice)
    {
        const std::optional<core::SampleData> samples
            = core::SampleData::loadIfPresent(session.store);
        double groups = 0.0;
        try {
            groups = core::val(session.form1.Text2);
        } catch (const core::Fault&) {
            return;
        }
        if (!samples || groups < 1.0 || groups > 32767.0 || std::trunc(groups) != groups)
            return;
        const int n = static_cast<int>(groups);
        const std::optional<double> sse = residualSumOfSquares(session.store, *samples, choice, n);
        if (!sse)
            return;
        const analysis::InformationCriteria criteria
            = analysis::informationCriteria(*sse, n, row.parameters);
        row.aicc = criteria.aicc;
        row.bic = criteria.bic;
    }

    // The fit refined to the least sum of squares over coefficients and exponents together;
    // when no lower sum was found, the published fit is that optimum.
    void addRefinement(RankRow& row, const core::Session& session, const std::atomic<bool>* stop)
    {
        const std::optional<analysis::FitSnapshot> snapshot = analysis::takeSnapshot(session);
        if (!snapshot)
            return;
        analysis::RefineControl control;
        control.cancel = stop;
        const analysis::Refinement refinement = analysis::refine(*snapshot, control);
        const analysis::FitDetails details = analysis::describe(*snapshot, refinement);
        if (std::optional<std::string> notice = analysis::muchBetterNotice(refinement))
            row.notices.push_back(std::move(*notice));
        const analysis::FitSummary& best = details.refined ? details.refined->summary : details.fit;
        row.refinedAicc = best.aicc;
        row.refinedMeanError = best.meanError;
    }

} // namespace

RankingInput rankingInputOf(const core::Session& session)
{
    RankingInput input;
    input.sampleFile = session.store.backend().read(core::ScratchFile::Data);
    input.samples = session.form1.Text2;
    const bool holdsPower = session.form1.checkedModel >= 1
        && !core::usesLinearEngine(session.form1.checkedModel)
        && session.form1.Text4.find_first_not_of(' ') != std::string::npos;
    input.power = holdsPower ? session.form1.Text4 : "1";
    return input;
}

std::shared_ptr<const core::SampleStorage> readSampleFile(const RankingInput& input)
{
    if (!input.sampleFile)
        return nullptr;
    return core::SampleData::fromText(*input.sampleFile).sharedStorage();
}

int sampleCountOf(const RankingInput& input)
{
    try {
        const double count = core::val(input.samples);
        return count >= 0.0 && count <= 32767.0 ? static_cast<int>(count) : 0;
    } catch (const core::Fault&) {
        return 0;
    }
}

std::size_t itemsOfRanking(const RankingInput& input, int groupSize)
{
    try {
        return core::SampleData::itemsFor(core::val(input.samples), groupSize);
    } catch (const core::Fault&) {
        return 0;
    }
}

void fitAsFromMenus(
    core::Session& session, const RankingInput& input, const ModelChoice& choice, bool withNotes)
{
    app::runCommand(session, [&] { app::selectModel(session, choice.model); });
    app::runCommand(session, [&] { app::setSampleCountText(session, input.samples); });
    session.form1.Text4 = choice.elements ? std::to_string(*choice.elements) : input.power;
    const auto regress = [&] {
        app::regressionCommand(session, app::Route::Menu);
        return true;
    };
    app::runCommand(session, [&] {
        if (withNotes)
            app::regressWithNotes(session, regress);
        else
            regress();
    });
}

std::optional<RankRow> fitModel(const RankingInput& input, const ModelChoice& choice,
    const std::atomic<bool>* stop, std::shared_ptr<const core::SampleStorage> samplesRead)
{
    std::map<core::ScratchFile, std::string> files;
    if (input.sampleFile)
        files.emplace(core::ScratchFile::Data, *input.sampleFile);
    core::Session session(core::ScratchStore::inMemory(std::move(files), std::move(samplesRead)));
    // A run short of memory is tried again alone, never ranked by the message it would show.
    session.handsUpOutOfMemory = true;
    StopCheck stopCheck(stop);
    session.progress = &stopCheck;
    // A fresh root: the program's start, then the user's steps.
    app::runCommand(session, [&] { app::startUpReset(session); });
    fitAsFromMenus(session, input, choice);
    if (stopCheck.stopped())
        return std::nullopt;

    RankRow row;
    row.choice = choice;
    row.formula = formulaOf(choice);
    row.parameters = parameterCount(choice);
    for (std::size_t i = 0; i < kStatisticCount; ++i) {
        row.statisticTexts[i] = session.form1.label(17 + static_cast<int>(i));
        row.statistics[i] = shownNumber(row.statisticTexts[i]);
    }
    row.showings = session.messages.log();
    if (row.fitted()) {
        addInformationCriteria(row, session, choice);
        addRefinement(row, session, stop);
    }
    // A refinement cut short by a stop leaves the row unfinished.
    if (stop != nullptr && stop->load(std::memory_order_relaxed))
        return std::nullopt;
    return row;
}

} // namespace quantem::ranking
