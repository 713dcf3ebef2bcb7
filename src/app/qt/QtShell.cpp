#include "app/qt/QtShell.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QString>

#include <array>
#include <string_view>
#include <system_error>

namespace quantem::ui {

QUrl pageUrl(const std::string& address)
{
    constexpr std::array<std::string_view, 2> kWebSchemes { "https://", "http://" };
    for (std::string_view scheme : kWebSchemes) {
        if (address.starts_with(scheme))
            return QUrl(QString::fromStdString(address), QUrl::StrictMode);
    }
    // The install root is made absolute at start-up; a path that still is not has the current
    // folder as its base, as the file system would read it.
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(address, error);
    const std::filesystem::path file = error ? std::filesystem::path(address) : absolute;
    return QUrl::fromLocalFile(QFile::decodeName(file.c_str()));
}

bool QtShell::startProgram(const std::filesystem::path& path)
{
    // Started in its own directory, so the data program finds the install root beside it.
    const QString program = QString::fromStdString(path.string());
    const QString directory = QString::fromStdString(path.parent_path().string());
    return QProcess::startDetached(program, {}, directory);
}

bool QtShell::openPage(const std::string& address)
{
    // The help page is a file of the install root; the home page is a web address.
    return QDesktopServices::openUrl(pageUrl(address));
}

bool QtShell::startEmail(const std::string& address)
{
    return QDesktopServices::openUrl(
        QUrl(QStringLiteral("mailto:") + QString::fromStdString(address)));
}

} // namespace quantem::ui
