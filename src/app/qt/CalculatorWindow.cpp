#include "app/qt/CalculatorWindow.h"

#include "app/qt/Artwork.h"
#include "app/qt/Placement.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include <string>
#include <string_view>

namespace quantem::ui {

namespace {

    using results::CalculatorInput;

    QString qt(const std::string& text) { return QString::fromStdString(text); }

    void setTextIfChanged(QLineEdit* edit, const std::string& text)
    {
        // Setting the same text again would move the cursor of the box being typed in.
        const QString shown = qt(text);
        if (edit->text() != shown)
            edit->setText(shown);
    }

    QLabel* caption(const char* name, const char* text, QWidget* parent)
    {
        auto* label = new QLabel(QString::fromLatin1(text), parent);
        label->setObjectName(QString::fromLatin1(name));
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return label;
    }

    QLineEdit* box(int number, QWidget* parent)
    {
        auto* edit = new QLineEdit(parent);
        edit->setObjectName(QStringLiteral("Text%1").arg(number));
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 24);
        return edit;
    }

} // namespace

CalculatorWindow::CalculatorWindow(CommandRunner& runner, QWidget* parent)
    : QDialog(parent)
    , m_runner(runner)
{
    setObjectName(QStringLiteral("Form11"));
    setWindowTitle(QStringLiteral(" Calculate using the model"));
    setModal(false);
    setWindowIcon(QIcon(programLogo(32)));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(16, 14, 16, 12);
    body->setSpacing(12);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    body->addLayout(grid);
    outer->addLayout(body);

    // Same-looking rows: the captions carry their own blanks, as the window has always shown
    // them.
    m_text[1] = box(1, this);
    m_text[2] = box(2, this);
    m_text[3] = box(3, this);
    grid->addWidget(caption("Label1", "   Input the first dimension:   ", this), 0, 0);
    grid->addWidget(m_text[1], 0, 1);
    grid->addWidget(caption("Label2", "Input the secondly dimension:  ", this), 1, 0);
    grid->addWidget(m_text[2], 1, 1);
    grid->addWidget(caption("Label3", "   Input the third dimension:  ", this), 2, 0);
    grid->addWidget(m_text[3], 2, 1);
    addInput(CalculatorInput::Text1);
    addInput(CalculatorInput::Text2);
    addInput(CalculatorInput::Text3);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    grid->addWidget(rule, 3, 0, 1, 2);

    m_text[4] = box(4, this);
    m_text[4]->setReadOnly(true); // the computed y: selectable, not typed
    QPalette resultPalette = m_text[4]->palette();
    resultPalette.setColor(QPalette::Base, QColor(255, 255, 225));
    m_text[4]->setPalette(resultPalette);
    QFont resultFont = m_text[4]->font();
    resultFont.setBold(true);
    m_text[4]->setFont(resultFont);
    grid->addWidget(caption("Label5", "Model results", this), 4, 0);
    grid->addWidget(m_text[4], 4, 1);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch(1);
    addButton(buttons, "Command1", "Calculate", &results::calculate);
    addButton(buttons, "Command2", "Clear", &results::clearCalculator);
    addButton(buttons, "Command3", "Help", &results::calculatorHelp);
    addButton(buttons, "Command4", "Close", &results::closeCalculator);
    body->addLayout(buttons);

    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panel->setTextFormat(Qt::PlainText);
        panel->setContentsMargins(4, 0, 4, 0);
        panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        m_panels[i] = panel;
    }
    // A long notice in panel 1 must not widen the window; panel 2, what the user last did,
    // keeps room for its longest text.
    m_panels[0]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_panels[0]->setMinimumWidth(digit * 8);
    m_panels[1]->setMinimumWidth(digit * 30);
    bar->addWidget(m_panels[0], 1);
    bar->addWidget(m_panels[1]);
    outer->addWidget(bar);

    layout()->setSizeConstraint(QLayout::SetFixedSize);
    connect(&m_runner, &CommandRunner::stateChanged, this, &CalculatorWindow::render);
    render();
}

void CalculatorWindow::addInput(CalculatorInput input)
{
    QLineEdit* edit = m_text[static_cast<std::size_t>(input)];
    // Only the user's edits are changes to pass on; the state's own texts come back by render.
    connect(edit, &QLineEdit::textEdited, this, [this, input](const QString& text) {
        const std::string typed = text.toStdString();
        run([input, typed](
                core::Session& session) { results::changeCalculatorInput(session, input, typed); });
    });
}

void CalculatorWindow::addButton(
    QHBoxLayout* row, const char* name, const char* text, void (*command)(core::Session&))
{
    auto* push = new QPushButton(QString::fromLatin1(text), this);
    push->setObjectName(QString::fromLatin1(name));
    push->setMinimumWidth(84);
    // Enter in an input box calculates; the other buttons act only when pressed.
    push->setAutoDefault(false);
    push->setDefault(std::string_view(name) == "Command1");
    connect(push, &QPushButton::clicked, this, [this, command] { run(command); });
    row->addWidget(push);
}

void CalculatorWindow::run(const std::function<void(core::Session&)>& command)
{
    m_runner.run([this, &command] { command(m_runner.session()); });
}

void CalculatorWindow::reject() { run(&results::unloadCalculator); }

void CalculatorWindow::render()
{
    const core::Form11& state = m_runner.session().form11;
    setTextIfChanged(m_text[1], state.Text1);
    setTextIfChanged(m_text[2], state.Text2);
    setTextIfChanged(m_text[3], state.Text3);
    setTextIfChanged(m_text[4], state.Text4);
    m_text[1]->setEnabled(state.Text1Enabled);
    m_text[2]->setEnabled(state.Text2Enabled);
    m_text[3]->setEnabled(state.Text3Enabled);
    for (std::size_t i = 0; i < m_panels.size(); ++i)
        m_panels[i]->setText(qt(state.StatusBar1[i]));
    m_panels[0]->setToolTip(m_panels[0]->text());

    if (state.visible && !isVisible()) {
        centreOnAnchor();
        show();
        raise();
        activateWindow();
    } else if (state.visible && state.showings != m_showingsRendered) {
        raise();
        activateWindow();
    } else if (!state.visible && isVisible()) {
        hide();
    }
    m_showingsRendered = state.showings;
}

void CalculatorWindow::centreOnAnchor()
{
    // Over the lower part of the main window, so its coefficients and formula stay in sight.
    placeOverAnchor(*this, m_anchor, 2.0 / 3.0);
}

} // namespace quantem::ui
