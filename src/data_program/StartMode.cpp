#include "data_program/StartMode.h"

#include "core/Fault.h"

namespace quantem::data {

StartMode startModeOf(const core::ScratchStore& store)
{
    try {
        // The value is compared exactly: only 2 means the report.
        if (store.readNumbers(core::ScratchFile::Jb, 1).front() == 2.0)
            return StartMode::ReportViewer;
    } catch (const core::Fault&) {
        // A missing or unreadable jb.sys opens the editor, the safe default.
    }
    return StartMode::SampleEditor;
}

std::string reportDisplayText(std::string_view stored)
{
    std::string text;
    text.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == '\r') {
            text += '\n';
            if (i + 1 < stored.size() && stored[i + 1] == '\n')
                ++i;
        } else {
            text += stored[i];
        }
    }
    return text;
}

std::string reportViewerText(const core::ScratchStore& store, bool& missing)
{
    missing = false;
    try {
        return reportDisplayText(store.readText(core::ScratchFile::Bgx));
    } catch (const core::Fault&) {
        missing = true;
        return "There is no report to show: the report file "
            + store.pathOf(core::ScratchFile::Bgx).string()
            + " does not exist.\n\nChoose Report in Quantem's main window to write it.";
    }
}

} // namespace quantem::data
