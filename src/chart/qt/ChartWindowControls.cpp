#include "chart/qt/ChartWindowView.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

// The chart window's menus and the controls below its drawing: every entry one command.

namespace quantem::ui {

namespace {

    QString qt(const char* text) { return QString::fromUtf8(text); }

    // Hidden controls keep their place, so the window does not rearrange itself.
    template <typename Widget> Widget* keepingPlace(Widget* widget)
    {
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
        return widget;
    }

} // namespace

QAction* ChartWindowView::action(const char* name, const char* caption, std::function<void()> body)
{
    auto* item = new QAction(qt(caption), this);
    item->setObjectName(qt(name));
    connect(item, &QAction::triggered, this, [this, body = std::move(body)] { run(body); });
    return item;
}

void ChartWindowView::buildMenus()
{
    core::Session& session = m_session;
    QtCanvas& canvas = m_canvas;

    QMenu* dataMenu = menuBar()->addMenu(qt(" Data"));
    dataMenu->setObjectName(QStringLiteral("WJ"));
    dataMenu->addAction(
        action("XJ", "InputData", [this, &session] { chart::inputDataCommand(session, m_hooks); }));
    dataMenu->addSeparator();
    dataMenu->addAction(
        action("TC", "Close ", [&session, &canvas] { chart::closeChartWindow(session, canvas); }));

    menuBar()->addAction(action(
        "chsdt", "DrawPoint ", [&session, &canvas] { chart::drawPointsCommand(session, canvas); }));
    menuBar()->addAction(action(
        "chzxt", "DrawLine", [&session, &canvas] { chart::drawLineCommand(session, canvas); }));
    menuBar()->addAction(action(
        "chmxt", "DrawModel", [&session, &canvas] { chart::drawModelCommand(session, canvas); }));
    menuBar()->addAction(
        action("cqctx", "Clear ", [&session, &canvas] { chart::clearCommand(session, canvas); }));
    menuBar()->addAction(
        action("PT", "Print", [this, &session] { chart::printChart(session, *this); }));
    menuBar()->addAction(
        action("pmjt", "CutChart", [this, &session] { chart::cutChart(session, *this); }));
    menuBar()->addAction(
        action("qcjt", "ClearCupChart", [&session] { chart::clearCutChart(session); }));
    menuBar()->addAction(
        action("bcjt", "SaveCupChart", [this, &session] { chart::saveChart(session, *this); }));
    menuBar()->addAction(action(
        "dcjt", "Export...", [this, &session] { chart::exportChartCommand(session, *this); }));
    menuBar()->addAction(action("BZ", "Help", [&session] { chart::openChartHelp(session); }));
}

QWidget* ChartWindowView::buildControls()
{
    core::Session& session = m_session;
    QtCanvas& canvas = m_canvas;
    auto* controls = new QWidget(this);
    auto* row = new QHBoxLayout(controls);
    row->setContentsMargins(10, 0, 10, 0);
    row->setSpacing(10);

    auto* frame1 = new QGroupBox(qt("X Axis Setting"), controls);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* xOptions = new QVBoxLayout(frame1);
    const char* xCaptions[] = { "First dimensional data is X", "Second dimensional data  is X",
        "Third dimensional data is X" };
    for (int column = 1; column <= 3; ++column) {
        auto* option = keepingPlace(new QRadioButton(qt(xCaptions[column - 1]), frame1));
        option->setObjectName(QStringLiteral("Option%1").arg(column));
        connect(option, &QRadioButton::clicked, this, [this, &session, column] {
            run([&session, column] { chart::chooseXColumn(session, column); });
        });
        xOptions->addWidget(option);
        m_options[static_cast<std::size_t>(column)] = option;
    }
    auto* left = new QVBoxLayout;
    left->addWidget(frame1);

    auto* frame2 = new QGroupBox(qt("Show Y Axis"), controls);
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* yCaption = new QVBoxLayout(frame2);
    m_label5 = new QLabel(frame2);
    m_label5->setObjectName(QStringLiteral("Label5"));
    m_label5->setTextFormat(Qt::PlainText);
    m_label5->setMinimumWidth(
        m_label5->fontMetrics().horizontalAdvance(QStringLiteral("Secondly  Dimensional data is Y"))
        + 8);
    yCaption->addWidget(m_label5);
    left->addWidget(frame2);
    left->addStretch(1);
    row->addLayout(left);

    auto* frame3 = new QGroupBox(qt("Coordinate Setting"), controls);
    frame3->setObjectName(QStringLiteral("Frame3"));
    auto* styles = new QVBoxLayout(frame3);
    const char* styleCaptions[]
        = { "Gridding coordinate", "Scal ceoordinate", "Commonly coordinate" };
    const chart::AxisStyle styleOf[]
        = { chart::AxisStyle::Grid, chart::AxisStyle::Scale, chart::AxisStyle::Plain };
    for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(qt(styleCaptions[i]), frame3);
        option->setObjectName(QStringLiteral("Option%1").arg(4 + i));
        const chart::AxisStyle style = styleOf[i];
        connect(option, &QRadioButton::clicked, this, [this, &session, &canvas, style] {
            run([&session, &canvas, style] { chart::chooseAxisStyle(session, canvas, style); });
        });
        styles->addWidget(option);
        m_options[static_cast<std::size_t>(4 + i)] = option;
    }
    auto* middle = new QVBoxLayout;
    middle->addWidget(frame3);

    auto* fixedValues = new QGridLayout;
    fixedValues->setVerticalSpacing(6);
    const char* fixedCaptions[] = { "Input First dimensional data:",
        "Input second dimensional data:", "Input third dimensional data:" };
    for (int column = 1; column <= 3; ++column) {
        auto* label = keepingPlace(new QLabel(qt(fixedCaptions[column - 1]), controls));
        label->setObjectName(QStringLiteral("Label%1").arg(column));
        auto* edit = keepingPlace(new QLineEdit(controls));
        edit->setObjectName(QStringLiteral("Text%1").arg(column));
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
        connect(edit, &QLineEdit::textEdited, this, [this, &session, column](const QString& text) {
            run([&session, column, value = text.toStdString()] {
                chart::editFixedValue(session, column, value);
            });
        });
        fixedValues->addWidget(label, column - 1, 0);
        fixedValues->addWidget(edit, column - 1, 1);
        m_fixedLabels[static_cast<std::size_t>(column)] = label;
        m_fixedTexts[static_cast<std::size_t>(column)] = edit;
    }
    middle->addLayout(fixedValues);
    middle->addStretch(1);
    row->addLayout(middle);

    auto* buttons = new QGridLayout;
    buttons->setSpacing(6);
    struct Button
    {
        const char* name;
        const char* caption;
        std::function<void()> body;
    };
    const Button list[] = {
        { "Command1", "Setting", [&session] { chart::settingCommand(session); } },
        { "Command2", "ReSetting",
            [&session, &canvas] { chart::resettingCommand(session, canvas); } },
        { "Command5", "DrawPoint  ",
            [&session, &canvas] { chart::drawPointsCommand(session, canvas); } },
        { "Command6", "DrawLine ",
            [&session, &canvas] { chart::drawLineCommand(session, canvas); } },
        { "Command3", "DrawModel ",
            [&session, &canvas] { chart::drawModelCommand(session, canvas); } },
        { "Command8", "CutChart", [this, &session] { chart::cutChart(session, *this); } },
        { "Command9", "SaveChart", [this, &session] { chart::saveChart(session, *this); } },
        { "Command10", "Export...",
            [this, &session] { chart::exportChartCommand(session, *this); } },
        { "Command4", "Close", [&session, &canvas] { chart::closeChartWindow(session, canvas); } },
    };
    int index = 0;
    for (const Button& button : list) {
        auto* push = new QPushButton(qt(button.caption), controls);
        push->setObjectName(qt(button.name));
        push->setAutoDefault(false);
        push->setMinimumWidth(96);
        connect(push, &QPushButton::clicked, this, [this, body = button.body] { run(body); });
        buttons->addWidget(push, index / 2, index % 2);
        ++index;
    }
    row->addLayout(buttons);
    return controls;
}

} // namespace quantem::ui
