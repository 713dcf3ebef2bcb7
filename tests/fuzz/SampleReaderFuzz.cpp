// Any bytes as data.qtm: reading groups from it ends only in the reader's faults (13 not a
// number, 6 beyond the range, 62 past the end), and every number it gives is finite.
#include "FuzzChecks.h"
#include "core/Fault.h"
#include "core/SampleData.h"
#include "core/ScratchStore.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quantem;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const core::ScratchStore store
        = core::ScratchStore::inMemory({ { core::ScratchFile::Data, text } });
    const std::optional<core::SampleData> samples = core::SampleData::loadIfPresent(store);
    fuzz::check(samples.has_value(), "a sample file in memory is present");
    core::RecordReader reader = samples->reader();
    std::size_t read = 0;
    for (;;) {
        try {
            const double value = reader.readNumber();
            fuzz::check(std::isfinite(value), "a sample number is finite");
            ++read;
        } catch (const core::Fault& fault) {
            const int code = static_cast<int>(fault.code());
            if (code == 62) {
                fuzz::check(reader.atEnd(), "62 only past the last item");
                break;
            }
            fuzz::check(
                code == 13 || code == 6, "a sample item fails with 13, 6 or 62", fault.what());
        }
    }
    fuzz::check(read <= samples->itemCount(), "no more numbers than items");
    return 0;
}
