// Any bytes as a scratch file: the reader never fails other than with its faults, every number it
// returns is finite and written back as a record item reads as the same double, and a file
// written through the install root's backend leaves no temporary file beside it.
#include "FuzzChecks.h"
#include "core/Fault.h"
#include "core/NumberText.h"
#include "core/Record.h"
#include "core/ScratchStore.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace quantem;

void checkNumberRoundTrip(double value)
{
    fuzz::check(std::isfinite(value), "a read number is finite");
    const std::string written = core::recordNumber(value);
    fuzz::check(!fuzz::showsNonNumber(written), "a record number is a number", written);
    core::RecordReader again(written + "\r\n");
    const double back = again.readNumber();
    fuzz::check(fuzz::sameBits(back, value == 0.0 ? 0.0 : value),
        "a record number reads back as the same double", written);
    fuzz::check(!fuzz::showsNonNumber(core::doubleText(value)), "display text", written);
}

std::filesystem::path scratchRoot()
{
    static const std::filesystem::path root = [] {
        std::filesystem::path path = std::filesystem::temp_directory_path()
            / ("quantem-fuzz-record-" + std::to_string(getpid()));
        std::filesystem::create_directories(path / "sys");
        return path;
    }();
    return root;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    core::RecordReader reader(text);
    core::Record items;
    while (!reader.atEnd()) {
        try {
            core::RecordItem item = reader.readItem();
            if (const double* number = std::get_if<double>(&item))
                checkNumberRoundTrip(*number);
            items.push_back(std::move(item));
        } catch (const core::Fault& fault) {
            fuzz::fail("readItem raises no fault", fault.what());
        }
    }
    core::RecordReader numbers(text);
    while (!numbers.atEnd()) {
        try {
            checkNumberRoundTrip(numbers.readNumber());
        } catch (const core::Fault& fault) {
            const int code = static_cast<int>(fault.code());
            fuzz::check(code == 13 || code == 6, "a number item fails with 13 or 6", fault.what());
        }
    }

    // The numbers of the record written through the files of a root: whole, and nothing else.
    core::Record written;
    for (const core::RecordItem& item : items) {
        if (std::holds_alternative<double>(item))
            written.push_back(item);
    }
    const core::ScratchStore store(scratchRoot());
    try {
        store.writeRecord(core::ScratchFile::Rr, written);
    } catch (const core::Fault& fault) {
        fuzz::fail("a record of numbers can be written", fault.what());
    }
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(scratchRoot() / "sys")) {
        fuzz::check(entry.path().filename() == "rr.sys", "no temporary file remains",
            entry.path().filename().string());
        ++files;
    }
    fuzz::check(files == 1, "the record file exists");
    core::RecordReader back(store.readText(core::ScratchFile::Rr));
    for (const core::RecordItem& item : written) {
        const double again = back.readNumber();
        fuzz::check(
            fuzz::sameBits(again, std::get<double>(item) == 0.0 ? 0.0 : std::get<double>(item)),
            "a written record reads back");
    }
    return 0;
}
