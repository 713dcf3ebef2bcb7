#pragma once

#include <filesystem>
#include <string>

namespace quantem::app {

/// What taking a sample file given by name did.
struct AdoptedSamples
{
    bool adopted = false; // data.qtm now holds the file's samples
    std::string message; // the sentence for the status bar, in either case
};

/// The name the previous data.qtm is kept under, beside it.
inline constexpr const char* kSampleBackupName = "data.qtm.bak";

/// Makes the bytes of file the install root's data.qtm, as opening a sample file from the
/// desktop asks: the previous data.qtm is first kept as data.qtm.bak beside it. A file that is
/// missing, is not a regular file, holds no numbers or an item that is not a number replaces
/// nothing, nor does a root another program keeps; message says why.
AdoptedSamples adoptSampleFile(
    const std::filesystem::path& root, const std::filesystem::path& file);

} // namespace quantem::app
