#pragma once

#include "core/ScratchStore.h"

#include <string>
#include <string_view>

namespace quantem::data {

/// What the data program is started for.
enum class StartMode
{
    SampleEditor, // jb.sys holds 1, anything else, or is missing
    ReportViewer, // jb.sys holds 2
};

/// Reads jb.sys of the store: 2 shows the report, everything else (1, another value, a missing or
/// unreadable file) opens the sample editor.
StartMode startModeOf(const core::ScratchStore& store);

/// The report as the viewer shows it: the text exactly as stored, each CR LF, lone CR or LF one
/// line break.
std::string reportDisplayText(std::string_view stored);

/// The report viewer's text for the store: bgx.sys as shown, or a message saying that there is no
/// report when the file is missing. missing tells which.
std::string reportViewerText(const core::ScratchStore& store, bool& missing);

} // namespace quantem::data
