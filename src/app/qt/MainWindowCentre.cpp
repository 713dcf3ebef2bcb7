#include "analysis/DetailsHelp.h"
#include "app/ModelSelection.h"
#include "app/qt/MainWindow.h"
#include "app/qt/ReportPrinting.h"
#include "core/qt/QtText.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>

#include <array>

// The main window's centre: the state line with Stop, the input row, the result panels, the
// formula picture and the report box.

namespace quantem::ui {

namespace {

    // The state line and the report can carry the program's Chinese texts: the Latin face
    // comes first, a face with those characters after it.
    constexpr const char* kChineseFace = "WenQuanYi Micro Hei";

    QFont withChineseFallback(QFont font)
    {
        font.setFamilies({ font.family(), QString::fromLatin1(kChineseFace) });
        return font;
    }

    QFont reportFont()
    {
        QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setStyleHint(QFont::Monospace);
        font.setFamilies({ QStringLiteral("DejaVu Sans Mono"), font.family(),
            QStringLiteral("WenQuanYi Micro Hei Mono"), QString::fromLatin1(kChineseFace) });
        return font;
    }

    QLabel* plainLabel(const char* name, const QString& text, QWidget* parent)
    {
        auto* label = new QLabel(text, parent);
        label->setObjectName(QString::fromLatin1(name));
        label->setTextFormat(Qt::PlainText);
        return label;
    }

    // Value labels of the result panels, as boxes the user can copy from.
    QLabel* valueLabel(int number, QWidget* parent)
    {
        auto* label = new QLabel(parent);
        label->setObjectName(QStringLiteral("Label%1").arg(number));
        label->setTextFormat(Qt::PlainText);
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        label->setAutoFillBackground(true);
        label->setBackgroundRole(QPalette::Base);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 21);
        label->setContentsMargins(4, 1, 4, 1);
        return label;
    }

    struct CaptionRow
    {
        const char* caption;
        const char* captionName;
        int valueNumber;
    };

    // clang-format off
    constexpr std::array<CaptionRow, 7> kCoefficientRows {{
        { "a0 value: ",  "Label39", 2 }, { "a1 value: ", "Label40", 3 },
        { "a2 value: ",  "Label41", 4 }, { "a3 value: ", "Label42", 5 },
        { "a4 value:  ", "Label43", 6 }, { "a5 value: ", "Label44", 7 },
        { "a6 value: ",  "Label45", 8 },
    }};
    constexpr std::array<CaptionRow, 6> kExponentRows {{
        { "k1 value: ", "Label33", 11 }, { "k2 value: ", "Label34", 12 },
        { "k3 value: ", "Label35", 13 }, { "k4 value: ", "Label36", 14 },
        { "k5 value: ", "Label37", 15 }, { "k6 value: ", "Label38", 16 },
    }};
    constexpr std::array<CaptionRow, 6> kTestRows {{
        { "Correlation coefficient:",  "Label27", 17 },
        { "The statistic:",            "Label28", 18 },
        { "Remain standard warp:",     "Label29", 19 },
        { "The maximal error:",        "Label30", 20 },
        { "Average error:",            "Label31", 21 },
        { "Average relativity error",  "Label32", 22 },
    }};
    // clang-format on

} // namespace

void MainWindow::buildCentre()
{
    setFont(withChineseFallback(font()));
    auto* centre = new QWidget(this);
    auto* outer = new QVBoxLayout(centre);
    outer->setContentsMargins(10, 8, 10, 6);
    outer->setSpacing(8);

    // State line with the run indicator beside it.
    auto* stateRow = new QHBoxLayout;
    m_label10 = plainLabel("Label10", QString(), centre);
    QFont stateFont = m_label10->font();
    stateFont.setBold(true);
    m_label10->setFont(stateFont);
    m_picture2 = new QFrame(centre);
    m_picture2->setObjectName(QStringLiteral("Picture2"));
    m_picture2->setAutoFillBackground(true);
    static_cast<QFrame*>(m_picture2)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_picture2->setFixedSize(160, 14);
    m_picture2->setToolTip(QStringLiteral("Run indicator"));
    stateRow->addWidget(m_label10, 1);
    stateRow->addWidget(m_picture2, 0, Qt::AlignVCenter);
    buildStopControls(centre);
    stateRow->addWidget(m_stop, 0, Qt::AlignVCenter);
    outer->addLayout(stateRow);

    // Input row: captions right-aligned against boxes of one width.
    auto* inputs = new QGridLayout;
    inputs->setHorizontalSpacing(6);
    const int boxWidth = fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12;
    const auto addInput
        = [&](int column, const char* labelName, const QString& caption, int textNumber) {
              QLabel* label = plainLabel(labelName, caption, centre);
              label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
              auto* edit = new QLineEdit(centre);
              edit->setObjectName(QStringLiteral("Text%1").arg(textNumber));
              edit->setFixedWidth(boxWidth);
              m_text[textNumber] = edit;
              inputs->addWidget(label, 0, column * 2);
              inputs->addWidget(edit, 0, column * 2 + 1);
              inputs->setColumnStretch(column * 2, 1);
              label->setBuddy(edit);
              return label;
          };
    addInput(0, "Label23", QStringLiteral("InputSampleCapacity:"), 2);
    m_label9 = addInput(1, "Label9", QString(), 4);
    m_label24 = addInput(2, "Label24", QStringLiteral("VariantNumber:"), 1);
    m_label1 = addInput(3, "Label1", QStringLiteral("ElementNumber:"), 3);
    // Four pairs of one width, evenly spread; the widest caption the row can show sets it.
    const int captionWidth
        = m_label9->fontMetrics().horizontalAdvance(QStringLiteral("InputPowerInitialValue:  "));
    for (int column = 0; column < 4; ++column)
        inputs->setColumnMinimumWidth(column * 2, captionWidth);
    outer->addLayout(inputs);

    for (int number : { 6, 7 }) {
        auto* hidden = new QLineEdit(centre);
        hidden->setObjectName(QStringLiteral("Text%1").arg(number));
        hidden->hide();
        m_text[number] = hidden;
    }

    connect(m_text[2], &QLineEdit::textEdited, this, [this](const QString& text) {
        run([this, text] { app::setSampleCountText(m_runner.session(), text.toStdString()); });
    });
    // The other boxes only hold what the user typed until a command reads it.
    for (int number : { 1, 3, 4 }) {
        connect(m_text[number], &QLineEdit::textEdited, this, [this, number](const QString& text) {
            core::Form1& form = m_runner.session().form1;
            std::string& box = number == 1 ? form.Text1 : number == 3 ? form.Text3 : form.Text4;
            box = text.toStdString();
        });
    }

    // Result panels.
    auto* panels = new QHBoxLayout;
    panels->setSpacing(8);
    const auto addPanel = [&](const char* name, const char* caption, const auto& rows) {
        auto* frame = new QGroupBox(QString::fromLatin1(caption), centre);
        frame->setObjectName(QString::fromLatin1(name));
        auto* grid = new QGridLayout(frame);
        grid->setVerticalSpacing(5);
        grid->setHorizontalSpacing(6);
        int row = 0;
        for (const CaptionRow& entry : rows) {
            QLabel* captionLabel
                = plainLabel(entry.captionName, QString::fromLatin1(entry.caption), frame);
            captionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            QLabel* value = valueLabel(entry.valueNumber, frame);
            m_values[static_cast<std::size_t>(entry.valueNumber)] = value;
            if (entry.valueNumber == 19) {
                const QString why = QString::fromUtf8(analysis::kTwoResidualDeviations.data(),
                    static_cast<qsizetype>(analysis::kTwoResidualDeviations.size()));
                captionLabel->setToolTip(why);
                value->setToolTip(why);
            }
            grid->addWidget(captionLabel, row, 0);
            grid->addWidget(value, row, 1);
            ++row;
        }
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(row, 1);
        panels->addWidget(frame, 1);
    };
    addPanel("Frame3", "Coefficient of regression model", kCoefficientRows);
    addPanel("Frame4", "Power value of regression", kExponentRows);
    addPanel("Frame5", "Test parameter of regression", kTestRows);
    outer->addLayout(panels);

    // The formula picture of the chosen model.
    auto* frame2 = new QGroupBox(QStringLiteral("Show the model"), centre);
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* frame2Layout = new QVBoxLayout(frame2);
    frame2Layout->setContentsMargins(6, 4, 6, 6);
    auto* pictureArea = new QScrollArea(frame2);
    pictureArea->setFrameShape(QFrame::NoFrame);
    pictureArea->setWidgetResizable(true);
    pictureArea->setMinimumHeight(84);
    pictureArea->setMaximumHeight(150);
    m_picture1 = new QLabel(pictureArea);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setAlignment(Qt::AlignCenter);
    m_picture1->setAutoFillBackground(true);
    m_picture1->setBackgroundRole(QPalette::Base);
    pictureArea->setWidget(m_picture1);
    frame2Layout->addWidget(pictureArea);
    outer->addWidget(frame2);

    // The summary report.
    m_frame1 = new QGroupBox(centre);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    auto* frame1Layout = new QVBoxLayout(m_frame1);
    frame1Layout->setContentsMargins(6, 4, 6, 6);
    m_report = new QPlainTextEdit(m_frame1);
    m_report->setObjectName(QStringLiteral("Text5"));
    m_report->setReadOnly(true);
    m_report->setFont(reportFont());
    m_report->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_report->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_report->setMinimumHeight(160);
    addReportPrinting(m_report);
    frame1Layout->addWidget(m_report);
    outer->addWidget(m_frame1, 1);

    setCentralWidget(centre);
}

void MainWindow::buildStopControls(QWidget* centre)
{
    m_stop = new QPushButton(QStringLiteral("Stop"), centre);
    m_stop->setObjectName(QStringLiteral("Stop"));
    m_stop->setToolTip(QStringLiteral("Stop the run (Esc)"));
    m_stop->setEnabled(false);
    connect(m_stop, &QPushButton::clicked, this, [this] { m_runner.requestStop(); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("StopKey"));
    connect(escape, &QShortcut::activated, this, [this] { m_runner.requestStop(); });
}

} // namespace quantem::ui
