#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace quantem::ui {

/// The program's texts are UTF-8: the toolkit's strings made from them.
inline QString qt(const std::string& text) { return QString::fromStdString(text); }
inline QString qt(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace quantem::ui
