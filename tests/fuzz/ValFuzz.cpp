// Any text in a text box: Val gives a finite number or fault 6, and that number written as a
// record item and as display text reads back (the record item to the bit).
#include "FuzzChecks.h"
#include "core/Fault.h"
#include "core/NumberText.h"

#include <cmath>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quantem;
    const std::string text(reinterpret_cast<const char*>(data), size);
    double value = 0.0;
    try {
        value = core::val(text);
    } catch (const core::Fault& fault) {
        fuzz::check(static_cast<int>(fault.code()) == 6, "Val fails only with 6", fault.what());
        return 0;
    }
    fuzz::check(std::isfinite(value), "Val is finite", text);
    const std::string record = core::recordNumber(value);
    fuzz::check(fuzz::sameBits(core::val(record), value == 0.0 ? 0.0 : value),
        "Val reads a record number back to the bit", record);
    const std::string shown = core::doubleText(value);
    fuzz::check(!fuzz::showsNonNumber(shown), "display text is a number", shown);
    try {
        fuzz::check(std::isfinite(core::val(shown)), "display text reads back", shown);
    } catch (const core::Fault&) {
        // Fifteen digits round the largest doubles up past the range, and only those.
        fuzz::check(std::fabs(value) > 1.7976931348623E+308, "display text overflows", shown);
    }
    // Val reads the longest prefix: what follows a number never changes it.
    fuzz::check(fuzz::sameBits(core::val(record + ",x"), core::val(record)),
        "a number ends at a comma", record);
    return 0;
}
