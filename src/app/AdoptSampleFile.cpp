#include "app/AdoptSampleFile.h"

#include "core/AtomicFile.h"
#include "core/Fault.h"
#include "core/RootLock.h"
#include "core/SampleData.h"
#include "core/ScratchStore.h"

#include <optional>

namespace quantem::app {

namespace {

    constexpr const char* kProgramName = "quantem";

    AdoptedSamples refused(const std::filesystem::path& file, const std::string& why)
    {
        return { false,
            "The samples of " + file.string() + " were not taken: " + why
                + ". data.qtm keeps its samples." };
    }

    /// Why text cannot be a sample file, or "".
    std::string sampleRefusal(const std::string& text)
    {
        const core::SampleData samples = core::SampleData::fromText(text);
        if (samples.itemCount() == 0)
            return "it holds no numbers";
        const std::size_t bad = samples.storage().firstFault();
        if (bad < samples.itemCount())
            return "its item " + std::to_string(bad + 1) + " is not a number";
        return {};
    }

} // namespace

AdoptedSamples adoptSampleFile(const std::filesystem::path& root, const std::filesystem::path& file)
{
    const std::filesystem::path data = root / "data.qtm";
    std::error_code error;
    if (std::filesystem::equivalent(file, data, error))
        return { true, file.string() + " is the install root's sample file already." };
    std::string text;
    try {
        text = core::readWholeFile(file);
    } catch (const core::Fault&) {
        return refused(file, "it is missing or not a regular file that can be read");
    }
    if (const std::string why = sampleRefusal(text); !why.empty())
        return refused(file, why);
    const core::RootLock lock(root, kProgramName);
    if (lock.refused())
        return refused(file, lock.refusal());
    std::optional<std::string> previous;
    try {
        previous = core::readWholeFile(data);
    } catch (const core::Fault&) {
        // No data.qtm yet: nothing to keep.
    }
    try {
        if (previous)
            core::writeFileAtomically(root / kSampleBackupName, *previous);
        core::writeFileAtomically(data, text);
    } catch (const core::Fault& fault) {
        return refused(file, fault.what());
    }
    return { true,
        "data.qtm now holds the samples of " + file.string()
            + (previous ? std::string("; its previous samples are kept in ") + kSampleBackupName
                        : std::string()) };
}

} // namespace quantem::app
