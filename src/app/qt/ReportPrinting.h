#pragma once

#include "core/ExportFile.h"

#include <QString>

class QPlainTextEdit;

namespace quantem::ui {

/// Adds "Print..." and "Save as PDF" (actions ReportPrint and ReportSavePdf of the box) below
/// the report box's usual context menu.
void addReportPrinting(QPlainTextEdit* report);

/// Writes the report box's text to a PDF file at path, replacing it whole and never writing
/// through a link; the outcome says why it was not written.
core::ExportOutcome saveReportAsPdf(const QPlainTextEdit& report, const QString& path);

} // namespace quantem::ui
