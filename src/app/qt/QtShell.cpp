#include "app/qt/QtShell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QString>
#include <QUrl>

namespace quantem::ui {

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
    return QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromStdString(address)));
}

bool QtShell::startEmail(const std::string& address)
{
    return QDesktopServices::openUrl(
        QUrl(QStringLiteral("mailto:") + QString::fromStdString(address)));
}

} // namespace quantem::ui
