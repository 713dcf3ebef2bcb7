#include "data_program/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace quantem::data {

namespace {

    const QString kRecentKey = QStringLiteral("sampleEditor/recentFiles");

} // namespace

QStringList recentSampleFiles() { return QSettings().value(kRecentKey).toStringList(); }

void rememberSampleFile(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = recentSampleFiles();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > kRecentFileCount)
        files.removeLast();
    QSettings().setValue(kRecentKey, files);
}

} // namespace quantem::data
