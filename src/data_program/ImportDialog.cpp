#include "data_program/ImportDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>

namespace quantem::data {

namespace {

    // Enough of the file to show its first lines, however long it is.
    constexpr std::size_t kPreviewBytes = 4000;
    constexpr qsizetype kPreviewLines = 8;

    void selectData(QComboBox* box, int value) { box->setCurrentIndex(box->findData(value)); }

} // namespace

ImportDialog::ImportDialog(
    const QString& fileName, std::string content, const ImportChoice& proposed, QWidget* parent)
    : QDialog(parent)
    , m_content(std::move(content))
{
    setWindowTitle(QStringLiteral("Import numbers"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setText(QStringLiteral("&Import"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makePreview(fileName), 1);
    layout->addWidget(makeFormatBox());
    layout->addWidget(makePlacementBox());
    layout->addWidget(buttons);

    selectData(m_separator, static_cast<int>(proposed.format.separator));
    selectData(m_decimalMark, static_cast<int>(proposed.format.decimalMark));
    (proposed.placement == ImportPlacement::Replace ? m_replace : m_append)->setChecked(true);
    showWhatItReads();
    connect(m_separator, &QComboBox::currentIndexChanged, this, &ImportDialog::showWhatItReads);
    connect(m_decimalMark, &QComboBox::currentIndexChanged, this, &ImportDialog::showWhatItReads);
    resize(520, 460);
}

QWidget* ImportDialog::makePreview(const QString& fileName)
{
    auto* box
        = new QGroupBox(QStringLiteral("First lines of %1").arg(QFileInfo(fileName).fileName()));
    const std::size_t shown = std::min(m_content.size(), kPreviewBytes);
    const QStringList lines = QString::fromUtf8(m_content.data(), static_cast<qsizetype>(shown))
                                  .split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    auto* text = new QPlainTextEdit(lines.mid(0, kPreviewLines).join(QLatin1Char('\n')), box);
    text->setObjectName(QStringLiteral("importLines"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_reads = new QLabel(box);
    m_reads->setObjectName(QStringLiteral("importReads"));
    m_reads->setWordWrap(true);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(text, 1);
    layout->addWidget(m_reads);
    return box;
}

QWidget* ImportDialog::makeFormatBox()
{
    auto* box = new QGroupBox(QStringLiteral("How the file is written"));
    m_separator = new QComboBox(box);
    m_separator->setObjectName(QStringLiteral("separator"));
    m_separator->addItem(QStringLiteral("Comma  ,"), static_cast<int>(Separator::Comma));
    m_separator->addItem(QStringLiteral("Semicolon  ;"), static_cast<int>(Separator::Semicolon));
    m_separator->addItem(QStringLiteral("Tab"), static_cast<int>(Separator::Tab));
    m_separator->addItem(QStringLiteral("Blanks"), static_cast<int>(Separator::Blank));
    m_separator->setToolTip(QStringLiteral("What stands between the numbers of a line"));
    m_decimalMark = new QComboBox(box);
    m_decimalMark->setObjectName(QStringLiteral("decimalMark"));
    m_decimalMark->addItem(QStringLiteral("Point  2.5"), static_cast<int>(DecimalMark::Point));
    m_decimalMark->addItem(QStringLiteral("Comma  2,5"), static_cast<int>(DecimalMark::Comma));
    m_decimalMark->setToolTip(
        QStringLiteral("Files from spreadsheets set up for many European languages use a comma"));
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("&Separator:"), m_separator);
    form->addRow(QStringLiteral("&Decimal mark:"), m_decimalMark);
    return box;
}

QWidget* ImportDialog::makePlacementBox()
{
    auto* box = new QGroupBox(QStringLiteral("Where the numbers go"));
    m_append
        = new QRadioButton(QStringLiteral("&Add them after the last number of the table"), box);
    m_append->setObjectName(QStringLiteral("appendNumbers"));
    m_replace = new QRadioButton(
        QStringLiteral(
            "&Replace the table, with as many numbers per group as the file's first line holds"),
        box);
    m_replace->setObjectName(QStringLiteral("replaceTable"));
    m_replace->setToolTip(QStringLiteral("Undo brings the table back"));
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(m_append);
    layout->addWidget(m_replace);
    return box;
}

ImportChoice ImportDialog::choice() const
{
    ImportChoice chosen;
    chosen.format.separator = static_cast<Separator>(m_separator->currentData().toInt());
    chosen.format.decimalMark = static_cast<DecimalMark>(m_decimalMark->currentData().toInt());
    chosen.placement = m_replace->isChecked() ? ImportPlacement::Replace : ImportPlacement::Append;
    return chosen;
}

void ImportDialog::showWhatItReads()
{
    const ImportPreview preview = importPreview(m_content, choice().format);
    m_reads->setText(QString::fromStdString(preview.text));
    m_ok->setEnabled(preview.readable);
}

} // namespace quantem::data
