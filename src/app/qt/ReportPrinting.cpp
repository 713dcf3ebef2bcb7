#include "app/qt/ReportPrinting.h"

#include "chart/qt/ChartFile.h"

#include <QAction>
#include <QBuffer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPageSize>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>

namespace quantem::ui {

namespace {

    // The resolution a high-resolution printer gives a PDF file.
    constexpr int kPdfDotsPerInch = 1200;

    void printReport(QPlainTextEdit* report)
    {
        QPrinter printer(QPrinter::HighResolution);
        QPrintDialog dialog(&printer, report);
        if (dialog.exec() == QDialog::Accepted)
            report->print(&printer);
    }

    void askAndSavePdf(QPlainTextEdit* report)
    {
        QString path = QFileDialog::getSaveFileName(report, QStringLiteral("Save as PDF"),
            QString(), QStringLiteral("PDF document (*.pdf *.PDF)"));
        if (path.isEmpty())
            return;
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".pdf");
        if (const core::ExportOutcome saved = saveReportAsPdf(*report, path); !saved)
            QMessageBox::warning(report, QStringLiteral("Save as PDF"),
                QStringLiteral("The report was not saved to %1: %2.")
                    .arg(path, QString::fromStdString(saved.failure)));
    }

} // namespace

void addReportPrinting(QPlainTextEdit* report)
{
    auto* print = new QAction(QStringLiteral("Print..."), report);
    print->setObjectName(QStringLiteral("ReportPrint"));
    QObject::connect(print, &QAction::triggered, report, [report] { printReport(report); });
    auto* pdf = new QAction(QStringLiteral("Save as PDF"), report);
    pdf->setObjectName(QStringLiteral("ReportSavePdf"));
    QObject::connect(pdf, &QAction::triggered, report, [report] { askAndSavePdf(report); });

    report->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(report, &QWidget::customContextMenuRequested, report,
        [report, print, pdf](const QPoint& at) {
            QMenu* menu = report->createStandardContextMenu(at);
            menu->addSeparator();
            menu->addAction(print);
            menu->addAction(pdf);
            menu->exec(report->viewport()->mapToGlobal(at));
            delete menu;
        });
}

core::ExportOutcome saveReportAsPdf(const QPlainTextEdit& report, const QString& path)
{
    // Printed in memory, then written by the one writer of exported files.
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&bytes);
        pdf.setResolution(kPdfDotsPerInch);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setCreator(QStringLiteral("Quantem"));
        report.print(&pdf);
    }
    if (bytes.data().isEmpty())
        return { "the report could not be laid out as a PDF" };
    return writeExportedBytes(bytes.data(), path.toStdString());
}

} // namespace quantem::ui
