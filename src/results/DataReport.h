#pragma once

#include "core/Session.h"

#include <string>

namespace quantem::results {

/// The two forms of the data report: saved to a file the user chooses, or shown through bgx.sys.
/// They differ only in the banner and title lines.
enum class DataReportVariant
{
    Save,
    Show
};

/// Texts Form5 shows when a data report cannot be made or written.
inline constexpr const char* kReportNotWrittenText = "The report could not be written !";

/// The save dialog's filter and default extension.
inline constexpr const char* kReportFilter = "Text files (*.TXT)|*.TXT";
inline constexpr const char* kReportExtension = "TXT";

/// The whole data report: banner, the lines of data.qtm as they stand, the report box Text5, then
/// for models 1..50 the formula and one line per field of the xs.sys record ("a0 = ", ..,
/// "k1 = ", ..), for 51 and 52 seven empty lines. Every line ends with CR LF.
/// Throws Fault 53 when xs.sys or data.qtm is missing, 62 when xs.sys holds fewer fields than its
/// model needs, 9 when its ModelId is not 1..52, 13 when the ModelId is not a number.
std::string buildDataReport(const core::Session& session, DataReportVariant variant);

/// How a save of the data report ended.
enum class ReportSave
{
    Written,
    Cancelled, // the user gave no file name
    Refused // a message window said why nothing was written
};

/// Asks for a file name (Text files, .TXT) and writes the report there; an empty name writes
/// nothing. With no regression result (xs.sys missing, empty or incomplete) or no data.qtm it
/// shows Form5 with core::kDoRegressionText or core::kNoDataText and asks nothing; a file that
/// cannot be written shows kReportNotWrittenText and keeps its earlier content. Never throws.
ReportSave saveDataReport(core::Session& session);

/// Writes the report (show variant) to bgx.sys for the data program to display; the same
/// messages as saveDataReport when it cannot. Never throws.
void showDataReport(core::Session& session);

} // namespace quantem::results
