#include "app/OtherStartSearches.h"

#include "analysis/FitSnapshot.h"
#include "app/Commands.h"
#include "app/Regression.h"
#include "core/Fault.h"
#include "core/NumberText.h"
#include "core/SampleData.h"
#include "core/StopSwitch.h"

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <tbb/parallel_for.h>

namespace quantem::app {

namespace {

    /// Passes the copies' progress on to the session's hook one call at a time (a call under
    /// way makes the others pass by), always with the session's own window state: the copies'
    /// states are nobody's to show.
    class SharedProgress final : public core::ProgressHook
    {
    public:
        SharedProgress(core::ProgressHook* hook, const core::Form1& shown)
            : m_hook(hook)
            , m_shown(shown)
        {
        }
        void progress(const core::Form1&) override
        {
            if (m_hook == nullptr)
                return;
            const std::unique_lock lock(m_mutex, std::try_to_lock);
            if (!lock.owns_lock())
                return;
            try {
                m_hook->progress(m_shown);
            } catch (const core::RunStopped&) {
                m_stopped = true;
                throw;
            }
        }
        bool stopped() const noexcept { return m_stopped; }

    private:
        core::ProgressHook* m_hook;
        const core::Form1& m_shown;
        std::mutex m_mutex;
        std::atomic<bool> m_stopped { false };
    };

    /// The scratch files of store, with the first items of its sample file already read.
    core::ScratchStore copyInMemory(const core::ScratchStore& store, std::size_t items)
    {
        std::map<core::ScratchFile, std::string> files;
        for (int f = 0; f <= static_cast<int>(core::ScratchFile::Bmb); ++f) {
            const auto file = static_cast<core::ScratchFile>(f);
            if (std::optional<std::string> text = store.backend().read(file))
                files.emplace(file, std::move(*text));
        }
        // The reading stands for the bytes: every pass takes its groups from it.
        files.emplace(core::ScratchFile::Data, std::string());
        return core::ScratchStore::inMemory(
            std::move(files), core::SampleData::load(store, items).sharedStorage());
    }

    std::optional<analysis::RefineStart> searchFrom(const core::Session& session,
        const core::ScratchStore& store, double value, core::ProgressHook& progress)
    {
        core::Session copy(
            core::ScratchStore::inMemory(store.memory()->files(), store.backend().samplesRead()));
        copy.form1 = session.form1;
        copy.form1.Text4 = core::doubleText(value);
        copy.progress = &progress;
        const int before = copy.form1.publishedFits;
        runCommand(copy, [&] { regressionCommand(copy, Route::Menu); });
        if (copy.form1.publishedFits == before || !copy.messages.log().empty())
            return std::nullopt;
        const std::optional<analysis::FitSnapshot> fit = analysis::takeSnapshot(copy);
        if (!fit)
            return std::nullopt;
        return analysis::RefineStart { "the search from power initial value " + copy.form1.Text4,
            fit->exponents };
    }

} // namespace

std::vector<analysis::RefineStart> searchesFromOtherStarts(
    const core::Session& session, std::atomic<bool>& stopped)
{
    const core::ModelId model = session.form1.checkedModel;
    const core::ModelDescriptor* descriptor = core::findModel(model);
    if (descriptor == nullptr || descriptor->exponents == 0 || core::usesLinearEngine(model))
        return {};
    double own = 0.0;
    double groups = 0.0;
    std::optional<core::ScratchStore> store;
    try {
        own = core::val(session.form1.Text4);
        groups = core::val(session.form1.Text2);
        store = copyInMemory(
            session.store, core::SampleData::itemsFor(groups, core::groupSize(model)));
    } catch (const core::Fault&) {
        return {}; // the fit itself could not have read them either
    }
    std::vector<double> values;
    for (const double value : kOtherInitialValues) {
        if (static_cast<float>(value) != static_cast<float>(own))
            values.push_back(value);
    }
    SharedProgress progress(session.progress, session.form1);
    std::vector<std::optional<analysis::RefineStart>> found(values.size());
    tbb::parallel_for(std::size_t { 0 }, values.size(),
        [&](std::size_t i) { found[i] = searchFrom(session, *store, values[i], progress); });
    if (progress.stopped())
        stopped = true;
    std::vector<analysis::RefineStart> starts;
    for (std::optional<analysis::RefineStart>& start : found) {
        if (start)
            starts.push_back(std::move(*start));
    }
    return starts;
}

} // namespace quantem::app
