#include "support/TempRoot.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace quantem::data {
namespace {

    TEST(DataProgramCommandLine, AnEmptyRootIsAUsageError)
    {
        test::TempRoot folder;
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(
            QStringLiteral("HOME"), QString::fromStdString((folder.path() / "home").string()));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(QString::fromStdString(folder.path().string()));
        program.start(QStringLiteral(QUANTEM_DATA_BINARY), { QStringLiteral("--root"), QString() });
        // A program that took the empty text for a folder would open its window and wait.
        const bool finished = program.waitForFinished(30000);
        if (!finished) {
            program.kill();
            program.waitForFinished();
        }
        ASSERT_TRUE(finished);
        EXPECT_EQ(program.exitCode(), 2);
        const std::string errors = program.readAllStandardError().toStdString();
        EXPECT_NE(errors.find("quantem-data: --root needs a folder"), std::string::npos) << errors;
        EXPECT_FALSE(std::filesystem::exists(folder.path() / "home"));
    }

} // namespace
} // namespace quantem::data
