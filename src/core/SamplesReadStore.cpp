#include "core/SamplesReadStore.h"

#include "core/CheckedMath.h"
#include "core/Fault.h"
#include "core/ModelCatalogue.h"
#include "core/NumberText.h"
#include "core/SampleData.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace quantem::core {

namespace {

    /// Another store's files, with a reading of the first items of its sample file.
    class SamplesReadBackend final : public StoreBackend
    {
    public:
        SamplesReadBackend(ScratchStore files, std::shared_ptr<const SampleStorage> samples)
            : m_files(std::move(files))
            , m_samples(std::move(samples))
        {
        }

        std::optional<std::string> read(ScratchFile file) const override
        {
            return m_files.backend().read(file);
        }
        std::unique_ptr<ByteSource> open(ScratchFile file) const override
        {
            return m_files.open(file);
        }
        void write(ScratchFile file, const std::string& content) override
        {
            if (file == ScratchFile::Data)
                m_samples.reset(); // the reading is of bytes that are gone
            m_files.writeText(file, content);
        }
        bool exists(ScratchFile file) const override { return m_files.exists(file); }
        std::shared_ptr<const SampleStorage> samplesRead() const override
        {
            return m_samples && m_files.exists(ScratchFile::Data) ? m_samples : nullptr;
        }

    private:
        ScratchStore m_files;
        std::shared_ptr<const SampleStorage> m_samples;
    };

    // The largest groups a chart of any model reads: an x, two fixed values and y.
    constexpr int kChartGroupSize = 4;

    int groupSizeOfFit(ModelId model, const Form1& form)
    {
        if (model != kMultipleLinearModel)
            return groupSize(model);
        // Its elements as typed; a count that is not whole was refused before any reading.
        const double elements = val(form.Text4);
        if (!(elements >= 0.0))
            return 0;
        return static_cast<int>(std::min(std::ceil(elements), 32767.0)) + 1;
    }

} // namespace

std::optional<std::size_t> itemsOfShownFit(const ScratchStore& store, const Form1& form)
{
    try {
        const ModelId model = toInteger16(store.readNumbers(ScratchFile::Xx, 4)[3]);
        const int size = std::max(groupSizeOfFit(model, form), kChartGroupSize);
        const double groups = val(form.Text2);
        // A fit takes whole 16-bit counts only; another count is read as it always was.
        if (!(groups >= 0.0 && groups <= 32767.0))
            return std::nullopt;
        return SampleData::itemsFor(groups, size);
    } catch (const Fault&) {
        return std::nullopt;
    }
}

ScratchStore withSamplesRead(const ScratchStore& store, std::size_t itemLimit)
{
    std::shared_ptr<const SampleStorage> samples;
    try {
        if (const std::optional<SampleData> data = SampleData::loadIfPresent(store, itemLimit))
            samples = data->sharedStorage();
    } catch (const Fault&) {
        // Left to the readers, which tell it as they always have.
    }
    return ScratchStore(
        store.root(), std::make_shared<SamplesReadBackend>(store, std::move(samples)));
}

} // namespace quantem::core
