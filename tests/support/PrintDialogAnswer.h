#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QTimer>

#include <filesystem>
#include <memory>

namespace quantem::test {

/// What happened around one print dialog that a view opened.
struct PrintDialogAnswer
{
    bool dialogShown = false;
    QString warning; // the text of a message box shown after the dialog, if any
};

/// Answers the next print dialog once it is open: the PDF file name typed in, then OK when
/// accept, else Cancel. A message box that follows is recorded and closed, so that a view that
/// warns cannot hold the test. For machines without a printer, where the dialog prints to a
/// file.
inline std::shared_ptr<PrintDialogAnswer> answerNextPrintDialog(
    bool accept, const std::filesystem::path& pdf)
{
    auto answer = std::make_shared<PrintDialogAnswer>();
    QTimer::singleShot(0, [answer, accept, pdf] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        answer->dialogShown = true;
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("filename")))
            name->setText(QString::fromStdString(pdf.string()));
        // Runs inside the message box's own loop, when the view shows one; once the view's
        // dialog is gone (the view returned), there is nothing left to answer.
        const QPointer<QPrintDialog> shown(dialog);
        QTimer::singleShot(0, [answer, shown] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (shown.isNull() || box == nullptr)
                return;
            answer->warning = box->text();
            box->reject();
        });
        if (accept)
            dialog->accept();
        else
            dialog->reject();
    });
    return answer;
}

} // namespace quantem::test
