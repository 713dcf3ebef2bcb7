#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quantem::app {

/// The picture that stands in the formula box when no model is shown.
inline constexpr std::string_view kBlankPictureFile = "gsempty.bmp";

/// Draws formula pictures for the picture directory.
class FormulaPictureRenderer
{
public:
    virtual ~FormulaPictureRenderer() = default;
    /// Writes a picture of formulaText to file (an empty text gives a blank picture). Returns
    /// false when the picture could not be written.
    virtual bool render(const std::filesystem::path& file, std::string_view formulaText) = 0;
};

/// What setting up an install root did.
struct InstallRootReport
{
    /// Directories and files that did not exist and were created, in the order made, and a
    /// launcher that was rewritten.
    std::vector<std::filesystem::path> created;
    /// Missing pictures that the renderer could not write; the program runs without them.
    std::vector<std::filesystem::path> failedPictures;
};

/// The sample data shipped with a new root: the eight planets' mean distance from the sun (AU)
/// and orbital period (years), one group per line.
std::string samplePlanetData();

/// The help page of a root: what the program does, the sample layouts, the menu commands and
/// where its files are.
std::string helpPage(const std::filesystem::path& root);

/// The launcher "DATA": a shell script that starts the data program for this root.
std::string dataLauncherScript(
    const std::filesystem::path& root, const std::filesystem::path& dataProgram);

/// Makes root ready for the program: creates the root, sys/ and sz/, help.html, the executable
/// launcher DATA for dataProgram, a sample data.qtm, and, through renderer (skipped when null),
/// every missing formula picture of the catalogue plus the blank picture. Existing files are
/// never touched, so a user's data.qtm, scratch files and pictures survive; only a launcher this
/// function wrote that names another data program is rewritten for dataProgram. Throws Fault 75
/// when a directory, the help page, the launcher or the sample file cannot be created; a
/// picture the renderer cannot write is only listed in the report.
InstallRootReport prepareInstallRoot(const std::filesystem::path& root,
    const std::filesystem::path& dataProgram, FormulaPictureRenderer* renderer);

} // namespace quantem::app
