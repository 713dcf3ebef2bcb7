#include "data_program/ReportViewerWindow.h"

#include "data_program/StartMode.h"

#include <QAction>
#include <QFontDatabase>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextDocument>

namespace quantem::data {

ReportViewerWindow::ReportViewerWindow(const core::ScratchStore& store, QWidget* parent)
    : QMainWindow(parent)
    , m_text(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("ReportViewer"));
    setWindowTitle(QStringLiteral("Quantem - Report"));
    m_text->setObjectName(QStringLiteral("reportText"));
    m_text->setReadOnly(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // The report's columns are aligned with blanks: keep them whole and fixed-width.
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->document()->setDocumentMargin(8);
    m_text->setPlainText(QString::fromStdString(reportViewerText(store, m_missing)));
    setCentralWidget(m_text);

    const QString path
        = QString::fromStdU16String(store.pathOf(core::ScratchFile::Bgx).u16string());
    if (m_missing) {
        m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        statusBar()->showMessage(QStringLiteral("No report"));
    } else {
        statusBar()->showMessage(path);
    }

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("menuFile"));
    auto* copy = new QAction(QStringLiteral("&Copy all"), this);
    copy->setObjectName(QStringLiteral("actionCopyAll"));
    copy->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+C")));
    copy->setStatusTip(QStringLiteral("Copy the whole report to the clipboard"));
    connect(copy, &QAction::triggered, this, [this] {
        m_text->selectAll();
        m_text->copy();
    });
    file->addAction(copy);
    file->addSeparator();
    auto* close = new QAction(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("actionClose"));
    close->setShortcuts(
        { QKeySequence(QKeySequence::Close), QKeySequence(QStringLiteral("Ctrl+Q")) });
    close->setStatusTip(QStringLiteral("Close the report"));
    connect(close, &QAction::triggered, this, &QWidget::close);
    file->addAction(close);

    resize(780, 560);
}

} // namespace quantem::data
