#pragma once

#include <QString>

#include <filesystem>
#include <string>

namespace quantem::data {

/// Texts and conversions that the sample editor's commands share.
inline const QString kEditorTitle = QStringLiteral("Quantem - Data");
inline const QString kHeaderSkippedNote
    = QStringLiteral(" (its first line, without numbers, was skipped)");

inline QString fromUtf8(const std::string& text) { return QString::fromStdString(text); }

inline std::filesystem::path toPath(const QString& fileName)
{
    return std::filesystem::path(fileName.toStdU16String());
}

inline QString pathText(const std::filesystem::path& path)
{
    return QString::fromStdU16String(path.u16string());
}

inline QString groupsText(int count)
{
    return count == 1 ? QStringLiteral("1 group") : QStringLiteral("%1 groups").arg(count);
}

} // namespace quantem::data
