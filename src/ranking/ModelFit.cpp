#include "ranking/ModelFit.h"

#include "analysis/InformationCriteria.h"
#include "app/Commands.h"
#include "app/ModelSelection.h"
#include "app/Regression.h"
#include "core/Fault.h"
#include "core/NumberText.h"
#include "core/Session.h"
#include "ranking/ResidualSum.h"

#include <cmath>
#include <map>

namespace quantem::ranking {

namespace {

    /// Stops a search between two evaluations once the ranking is stopped.
    class StopCheck final : public core::ProgressHook
    {
    public:
        explicit StopCheck(const std::atomic<bool>* stop)
            : m_stop(stop)
        {
        }
        void progress(const core::Form1&) override
        {
            if (m_stop != nullptr && m_stop->load(std::memory_order_relaxed))
                throw RunStopped {};
        }

    private:
        const std::atomic<bool>* m_stop;
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

    // The same steps, in the same order, as a user on a fresh root; a fault that no step traps
    // ends that step as it would in the main window.
    void runAsUser(core::Session& session, const RankingInput& input, const ModelChoice& choice)
    {
        app::runCommand(session, [&] { app::startUpReset(session); });
        app::runCommand(session, [&] { app::selectModel(session, choice.model); });
        app::runCommand(session, [&] { app::setSampleCountText(session, input.samples); });
        session.form1.Text4 = choice.elements ? std::to_string(*choice.elements) : input.power;
        app::runCommand(session, [&] { app::regressionCommand(session, app::Route::Menu); });
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

} // namespace

std::optional<RankRow> fitModel(
    const RankingInput& input, const ModelChoice& choice, const std::atomic<bool>* stop)
{
    std::map<core::ScratchFile, std::string> files;
    if (input.sampleFile)
        files.emplace(core::ScratchFile::Data, *input.sampleFile);
    core::Session session(core::ScratchStore::inMemory(std::move(files)));
    StopCheck stopCheck(stop);
    session.progress = &stopCheck;
    try {
        runAsUser(session, input, choice);
    } catch (const RunStopped&) {
        return std::nullopt;
    }

    RankRow row;
    row.choice = choice;
    row.formula = formulaOf(choice);
    row.parameters = parameterCount(choice);
    for (std::size_t i = 0; i < kStatisticCount; ++i) {
        row.statisticTexts[i] = session.form1.label(17 + static_cast<int>(i));
        row.statistics[i] = shownNumber(row.statisticTexts[i]);
    }
    row.showings = session.messages.log();
    if (row.fitted())
        addInformationCriteria(row, session, choice);
    return row;
}

} // namespace quantem::ranking
