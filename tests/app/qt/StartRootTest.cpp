#include "app/qt/QtShell.h"
#include "core/InstallRootPath.h"
#include "core/Session.h"
#include "support/TempRoot.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace quantem::ui::test {
namespace {

    struct Finished
    {
        int status = -1;
        std::string errors;
    };

    // Runs the desktop program in folder with HOME pointing at folder/home, so its default root
    // would show up there.
    Finished runDesktop(const std::filesystem::path& folder, const QStringList& arguments)
    {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(
            QStringLiteral("HOME"), QString::fromStdString((folder / "home").string()));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(QString::fromStdString(folder.string()));
        program.start(QStringLiteral(QUANTEM_DESKTOP_BINARY), arguments);
        if (!program.waitForFinished(60000))
            return {};
        return { program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            program.readAllStandardError().toStdString() };
    }

    TEST(PageUrl, APageOfTheRootIsAFileUrlAndOnlyAWebAddressIsParsed)
    {
        // A relative root that reads like a host name, as the command line hands it over.
        const std::optional<std::filesystem::path> root = core::installRootFrom("example.com");
        ASSERT_TRUE(root);
        const core::Session session(*root);
        const std::filesystem::path expected
            = std::filesystem::current_path() / "example.com" / "help.html";
        const QUrl help = pageUrl(session.addresses.help);
        EXPECT_EQ(help.scheme().toStdString(), "file");
        EXPECT_EQ(help.toLocalFile().toStdString(), expected.string());

        // A path that was never made absolute is still a file, under the current folder.
        const QUrl relative = pageUrl("example.com/help.html");
        EXPECT_TRUE(relative.isLocalFile());
        EXPECT_EQ(relative.toLocalFile().toStdString(), expected.string());
        EXPECT_TRUE(pageUrl("http:help.html").isLocalFile());

        // Characters a URL parser would take apart stay part of the file's name.
        const std::string odd = "/tmp/a b#c?d%41e/help.html";
        EXPECT_TRUE(pageUrl(odd).isLocalFile());
        EXPECT_EQ(pageUrl(odd).toLocalFile().toStdString(), odd);

        // The home page is the one web address.
        const QUrl home = pageUrl(session.addresses.home);
        EXPECT_EQ(home.scheme().toStdString(), "https");
        EXPECT_EQ(home.toString().toStdString(), session.addresses.home);
        EXPECT_EQ(pageUrl("http://quantem.example.org/a?b#c").host().toStdString(),
            "quantem.example.org");
    }

    TEST(DesktopCommandLine, AnEmptyRootIsRefusedAndARelativeOneIsUnderTheCurrentFolder)
    {
        quantem::test::TempRoot folder;
        const Finished empty = runDesktop(folder.path(),
            { QStringLiteral("--root"), QString(), QStringLiteral("--prepare-only") });
        EXPECT_EQ(empty.status, 2);
        EXPECT_NE(empty.errors.find("quantem: --root needs a folder"), std::string::npos)
            << empty.errors;
        // Neither the current folder nor the default root was taken in its place.
        EXPECT_FALSE(std::filesystem::exists(folder.path() / "help.html"));
        EXPECT_FALSE(std::filesystem::exists(folder.path() / "home"));

        const Finished relative = runDesktop(folder.path(),
            { QStringLiteral("--root"), QStringLiteral("example.com"),
                QStringLiteral("--prepare-only") });
        EXPECT_EQ(relative.status, 0) << relative.errors;
        const std::filesystem::path root = folder.path() / "example.com";
        EXPECT_TRUE(std::filesystem::is_regular_file(root / "help.html"));
        // The page names the root's files by their absolute paths.
        EXPECT_NE(
            folder.read("example.com/help.html").find("<code>" + (root / "data.qtm").string()),
            std::string::npos);
    }

} // namespace
} // namespace quantem::ui::test
