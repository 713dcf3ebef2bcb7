// Any bytes as data.qtm: reading groups from it ends only in the reader's faults (13 not a
// number, 6 beyond the range, 62 past the end), every number it gives is finite, and a reader
// limited to the first items a pass needs gives exactly what the whole file gives there.
#include "FuzzChecks.h"
#include "core/Fault.h"
#include "core/SampleData.h"
#include "core/ScratchStore.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace quantem;

// What reading number after number gives: the value, or the fault's number; stops at 62.
struct Reading
{
    std::vector<double> values;
    std::vector<int> faults; // 0 where a value was read
};

Reading readAll(core::RecordReader reader)
{
    Reading reading;
    for (;;) {
        try {
            const double value = reader.readNumber();
            fuzz::check(std::isfinite(value), "a sample number is finite");
            reading.values.push_back(value);
            reading.faults.push_back(0);
        } catch (const core::Fault& fault) {
            const int code = static_cast<int>(fault.code());
            if (code == 62)
                return reading;
            fuzz::check(
                code == 13 || code == 6, "a sample item fails with 13, 6 or 62", fault.what());
            reading.values.push_back(0.0);
            reading.faults.push_back(code);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t limit = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const core::ScratchStore store
        = core::ScratchStore::inMemory({ { core::ScratchFile::Data, text } });
    const std::optional<core::SampleData> whole = core::SampleData::loadIfPresent(store);
    fuzz::check(whole.has_value(), "a sample file in memory is present");
    const Reading all = readAll(whole->reader());
    fuzz::check(all.values.size() <= whole->itemCount(), "no more numbers than items");

    const std::optional<core::SampleData> limited = core::SampleData::loadIfPresent(store, limit);
    const Reading first = readAll(limited->reader());
    fuzz::check(first.values.size() <= limit, "a limited reader stops at its limit");
    fuzz::check(first.values.size() == std::min(limit, all.values.size()),
        "a limited reader reads every item up to its limit");
    for (std::size_t i = 0; i < first.values.size(); ++i) {
        fuzz::check(first.faults[i] == all.faults[i], "the same fault at the same item");
        fuzz::check(fuzz::sameBits(first.values[i], all.values[i]), "the same number");
    }

    // A store that holds the file already read (as every run of a ranking does) gives the same.
    const core::ScratchStore held = core::ScratchStore::inMemory(
        { { core::ScratchFile::Data, text } }, whole->sharedStorage());
    const Reading heldFirst = readAll(core::SampleData::load(held, limit).reader());
    fuzz::check(heldFirst.values.size() == first.values.size(),
        "a store holding the reading stops where the bytes stop");
    for (std::size_t i = 0; i < first.values.size(); ++i) {
        fuzz::check(heldFirst.faults[i] == first.faults[i], "the held reading's fault");
        fuzz::check(fuzz::sameBits(heldFirst.values[i], first.values[i]), "the held number");
    }
    return 0;
}
