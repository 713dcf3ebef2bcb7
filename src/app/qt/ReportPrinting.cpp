#include "app/qt/ReportPrinting.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QTemporaryDir>

namespace quantem::ui {

namespace {

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
        saveReportAsPdf(*report, path);
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

bool saveReportAsPdf(const QPlainTextEdit& report, const QString& path)
{
    // The printer writes to a file of its own; the target is replaced only when it is complete.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return false;
    const QString written = scratch.filePath(QStringLiteral("report.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(written);
    report.print(&printer);
    QFile result(written);
    if (!result.open(QIODevice::ReadOnly))
        return false;
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly) || target.write(result.readAll()) < 0)
        return false;
    return target.commit();
}

} // namespace quantem::ui
