#pragma once

#include <QString>
#include <QStringList>

namespace quantem::data {

/// How many sample files the recent list keeps.
inline constexpr int kRecentFileCount = 8;

/// The sample files the user opened by name, newest first, as the settings keep them.
QStringList recentSampleFiles();

/// Puts path first in the recent list (once), dropping the oldest beyond kRecentFileCount.
void rememberSampleFile(const QString& path);

} // namespace quantem::data
