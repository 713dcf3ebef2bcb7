#include "app/InstallRoot.h"

#include "core/Fault.h"
#include "core/ModelCatalogue.h"
#include "core/SampleData.h"
#include "core/ScratchStore.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <vector>

namespace quantem::app {
namespace {

    namespace fs = std::filesystem;

    // Writes the formula text as the picture's content, or refuses the named pictures.
    class RecordingRenderer : public FormulaPictureRenderer
    {
    public:
        bool render(const fs::path& file, std::string_view formulaText) override
        {
            calls[file.filename().string()] = std::string(formulaText);
            if (refused.count(file.filename().string()) != 0)
                return false;
            std::ofstream(file, std::ios::binary) << formulaText;
            return true;
        }

        std::map<std::string, std::string> calls; // picture file name -> formula text
        std::set<std::string> refused;
    };

    std::string bytesOf(const fs::path& path)
    {
        try {
            return core::readWholeFile(path);
        } catch (const core::Fault&) {
            return "<missing>";
        }
    }

    bool listed(const std::vector<fs::path>& paths, const fs::path& path)
    {
        return std::find(paths.begin(), paths.end(), path) != paths.end();
    }

} // namespace

TEST(InstallRoot, FreshRootGetsEveryFileAndPicture)
{
    test::TempRoot temp;
    const fs::path root = temp.path() / "new root";
    RecordingRenderer renderer;

    const InstallRootReport report = prepareInstallRoot(root, "/opt/q/quantem-data", &renderer);

    EXPECT_TRUE(listed(report.created, root));
    for (const char* name : { "sys", "sz", "help.html", "DATA", "data.qtm" })
        EXPECT_TRUE(listed(report.created, root / name)) << name;
    EXPECT_TRUE(fs::is_directory(root / "sys"));
    EXPECT_TRUE(fs::is_directory(root / "sz"));
    EXPECT_TRUE(report.failedPictures.empty());

    // One picture per model, drawn from its formula text, and the blank one.
    EXPECT_EQ(renderer.calls.size(), 53u);
    for (const core::ModelDescriptor& model : core::allModels()) {
        const std::string file(model.pictureFile);
        EXPECT_EQ(renderer.calls[file], model.formulaText) << file;
        EXPECT_EQ(bytesOf(root / "sz" / file), model.formulaText) << file;
        EXPECT_TRUE(listed(report.created, root / "sz" / file)) << file;
    }
    EXPECT_EQ(renderer.calls.at("gsempty.bmp"), "");
    EXPECT_EQ(renderer.calls.at("gs331.bmp"), core::modelOf(13).formulaText);
    EXPECT_EQ(report.created.size(), 6u + 53u);

    const std::string help = bytesOf(root / "help.html");
    EXPECT_NE(help.find("<html"), std::string::npos);
    EXPECT_NE(help.find("</html>"), std::string::npos);
    EXPECT_NE(help.find((root / "data.qtm").string()), std::string::npos);
    EXPECT_NE(help.find("Kepler"), std::string::npos);
    EXPECT_NE(help.find("x1, x2, x3, y"), std::string::npos);
    for (const core::ModelMenu& menu : core::modelMenus())
        EXPECT_NE(help.find(std::string(menu.caption)), std::string::npos) << menu.caption;
}

TEST(InstallRoot, LauncherStartsTheDataProgramForItsRoot)
{
    test::TempRoot temp;
    // Blanks and a quote in both paths must survive the shell.
    const fs::path root = temp.path() / "it's a root";
    const fs::path program = temp.path() / "fake data program";
    const fs::path output = temp.path() / "arguments.txt";
    {
        std::ofstream script(program, std::ios::binary);
        script << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '"
               << output.string() << "'\n";
    }
    fs::permissions(program, fs::perms::owner_all);

    prepareInstallRoot(root, program, nullptr);

    const fs::path launcher = root / "DATA";
    EXPECT_NE(fs::status(launcher).permissions() & fs::perms::owner_exec, fs::perms::none);
    EXPECT_TRUE(bytesOf(launcher).starts_with("#!/bin/sh\n"));
    std::string command = "'";
    for (char c : launcher.string())
        command += c == '\'' ? std::string("'\\''") : std::string(1, c);
    command += "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(bytesOf(output), "--root\n" + root.string() + "\n");
}

TEST(InstallRoot, SampleDataHoldsEightPlanetsAsNumberPairs)
{
    test::TempRoot temp;
    const fs::path root = temp.path() / "root";
    prepareInstallRoot(root, "/opt/q/quantem-data", nullptr);

    const std::string text = bytesOf(root / "data.qtm");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 8);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 8);
    EXPECT_NE(text.find("\r\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\r\n"));

    const core::SampleData samples = core::SampleData::load(core::ScratchStore(root));
    ASSERT_EQ(samples.itemCount(), 16u);
    core::RecordReader reader = samples.reader();
    double previousDistance = 0.0;
    for (int planet = 0; planet < 8; ++planet) {
        const double distance = reader.readNumber();
        const double period = reader.readNumber();
        EXPECT_GT(distance, previousDistance) << planet;
        previousDistance = distance;
        // Kepler's third law: the period squared is the distance cubed, in years and AU.
        const double ratio = period * period / (distance * distance * distance);
        EXPECT_NEAR(ratio, 1.0, 0.01) << planet;
    }
    EXPECT_TRUE(reader.atEnd());
}

TEST(InstallRoot, ExistingFilesAreNeverOverwritten)
{
    test::TempRoot temp; // already has sys/ and sz/
    temp.writeSamples("2.5,7.25\r\n");
    temp.writeFile("sys/xx.sys", "3,3,3,39\r\n");
    temp.writeFile("sys/JC.sys", "1E+19\r\n");
    temp.writeFile("sz/gs11.bmp", "my picture");
    temp.writeFile("sz/gsempty.bmp", "my blank");
    temp.writeFile("help.html", "my help");
    temp.writeFile("DATA", "my launcher");
    RecordingRenderer renderer;

    const InstallRootReport report = prepareInstallRoot(temp.path(), "/opt/q/qd", &renderer);

    EXPECT_EQ(temp.read("data.qtm"), "2.5,7.25\r\n");
    EXPECT_EQ(temp.readSys("xx.sys"), "3,3,3,39\r\n");
    EXPECT_EQ(temp.readSys("JC.sys"), "1E+19\r\n");
    EXPECT_EQ(temp.read("sz/gs11.bmp"), "my picture");
    EXPECT_EQ(temp.read("sz/gsempty.bmp"), "my blank");
    EXPECT_EQ(temp.read("help.html"), "my help");
    EXPECT_EQ(temp.read("DATA"), "my launcher");
    EXPECT_EQ(renderer.calls.count("gs11.bmp"), 0u);
    EXPECT_EQ(renderer.calls.count("gsempty.bmp"), 0u);
    EXPECT_EQ(renderer.calls.size(), 51u);
    EXPECT_EQ(report.created.size(), 51u);

    // A second setup finds everything in place and does nothing but take away what an ended
    // setup or data program left in the middle of a write; other files stay.
    temp.writeFile(".help.html.tmp-a8Kq2Z", "<html");
    temp.writeFile(".data.qtm.tmp-000ZZZ", "2.5,");
    temp.writeFile("sz/.gs11.bmp.tmp-Pq81xY", "BM");
    temp.writeFile(".profile.tmp-a8Kq2Z", "mine");
    RecordingRenderer again;
    const InstallRootReport second = prepareInstallRoot(temp.path(), "/opt/q/qd", &again);
    EXPECT_TRUE(second.created.empty());
    EXPECT_TRUE(again.calls.empty());
    EXPECT_EQ(temp.read(".help.html.tmp-a8Kq2Z"), "<missing>");
    EXPECT_EQ(temp.read(".data.qtm.tmp-000ZZZ"), "<missing>");
    EXPECT_EQ(temp.read("sz/.gs11.bmp.tmp-Pq81xY"), "<missing>");
    EXPECT_EQ(temp.read(".profile.tmp-a8Kq2Z"), "mine");
}

TEST(InstallRoot, PictureFailuresAreReportedAndOtherFailuresRaiseFault75)
{
    test::TempRoot temp;
    RecordingRenderer renderer;
    renderer.refused = { "gs22.bmp", "gsempty.bmp" };
    const InstallRootReport report = prepareInstallRoot(temp.path(), "/opt/q/qd", &renderer);
    const std::vector<fs::path> expected { temp.path() / "sz" / "gs22.bmp",
        temp.path() / "sz" / "gsempty.bmp" };
    EXPECT_EQ(report.failedPictures, expected);
    EXPECT_FALSE(listed(report.created, temp.path() / "sz" / "gs22.bmp"));
    EXPECT_EQ(temp.read("sz/gs21.bmp"), core::modelOf(4).formulaText);

    // A root below a plain file cannot be made.
    temp.writeFile("blocker", "x");
    try {
        prepareInstallRoot(temp.path() / "blocker" / "root", "/opt/q/qd", nullptr);
        ADD_FAILURE() << "no fault";
    } catch (const core::Fault& fault) {
        EXPECT_EQ(fault.code(), core::FaultCode::PathFileAccessError);
    }
}

TEST(InstallRoot, OwnLauncherFollowsTheDataProgramThatRunsIt)
{
    // A root first made by the programs of the build tree, then used by installed ones.
    test::TempRoot temp;
    const fs::path root = temp.path() / "root";
    prepareInstallRoot(root, "/work/build/src/quantem-data", nullptr);
    const InstallRootReport moved = prepareInstallRoot(root, "/usr/bin/quantem-data", nullptr);

    EXPECT_EQ(bytesOf(root / "DATA"), dataLauncherScript(root, "/usr/bin/quantem-data"));
    EXPECT_NE(fs::status(root / "DATA").permissions() & fs::perms::others_exec, fs::perms::none);
    EXPECT_EQ(moved.created, std::vector<fs::path> { root / "DATA" });
    // The same program again finds its own launcher and leaves it be.
    EXPECT_TRUE(prepareInstallRoot(root, "/usr/bin/quantem-data", nullptr).created.empty());
}

} // namespace quantem::app
