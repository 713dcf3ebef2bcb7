#include "equation/qt/EquationWindow.h"

#include "app/qt/ToolIcons.h"
#include "core/ExportFile.h"
#include "core/ScratchStore.h"
#include "equation/EquationForm.h"
#include "equation/EquationLibrary.h"
#include "equation/EquationSamples.h"
#include "equation/EquationTables.h"
#include "equation/EquationTemplates.h"
#include "equation/qt/EquationLibraryBar.h"
#include "equation/qt/EquationResultsTabs.h"
#include "equation/qt/ParameterTable.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace quantem::ui {

namespace {

    using equation::Weighting;

    constexpr int kPollMilliseconds = 100;

    QString qt(const std::string& text) { return QString::fromStdString(text); }

    QPushButton* button(
        const char* name, const QString& caption, const QString& tip, QWidget* parent)
    {
        auto* pushButton = new QPushButton(caption, parent);
        pushButton->setObjectName(QString::fromLatin1(name));
        pushButton->setToolTip(tip);
        pushButton->setAutoDefault(false);
        return pushButton;
    }

    struct WeightChoice
    {
        Weighting weighting;
        const char* caption;
        const char* tip;
    };
    constexpr WeightChoice kWeights[] {
        { Weighting::None, "None", "Every group counts alike" },
        { Weighting::Sigma, "1/sigma\u00b2 (sigma after y)",
            "Each group holds its standard deviation after y" },
        { Weighting::InverseY, "1/y", "Weights 1/|y|" },
        { Weighting::InverseY2, "1/y\u00b2 (relative)", "Relative residuals: weights 1/y\u00b2" },
        { Weighting::Poisson, "Poisson (counts)", "Counts, whose variance is their mean" },
    };

} // namespace

EquationWindow::EquationWindow(CommandRunner& runner, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_runner(runner)
{
    setObjectName(QStringLiteral("EquationWindow"));
    setWindowTitle(QStringLiteral("Fit own equation"));
    setWindowIcon(ownEquationIcon());
    new QVBoxLayout(this);
    buildInputs();
    buildResults();
    m_poll = new QTimer(this);
    m_poll->setInterval(kPollMilliseconds);
    connect(m_poll, &QTimer::timeout, this, &EquationWindow::pollFit);
    auto* close = new QShortcut(QKeySequence::Close, this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    resize(1100, 820);
    formulaEdited();
}

EquationWindow::~EquationWindow() = default;

void EquationWindow::buildInputs()
{
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    m_library = new EquationLibraryBar(m_runner.session().store.root(), this);
    layout->addWidget(m_library);

    auto* formulaRow = new QHBoxLayout;
    auto* formulaCaption = new QLabel(QStringLiteral("&Equation:  y ="), this);
    m_formula = new QLineEdit(this);
    m_formula->setObjectName(QStringLiteral("formula"));
    m_formula->setPlaceholderText(QStringLiteral("for example  Vmax * x / (Km + x)"));
    m_formula->setToolTip(QStringLiteral(
        "x or x1..x9 are the variables; every other name is a parameter. Functions: exp, ln, "
        "log10, sqrt, abs, sin, cos, tan, asin, acos, atan, atan2, sinh, cosh, tanh, erf, erfc, "
        "min, max; the constant pi"));
    formulaCaption->setBuddy(m_formula);
    formulaRow->addWidget(formulaCaption);
    formulaRow->addWidget(m_formula, 1);
    layout->addLayout(formulaRow);
    m_formulaError = new QLabel(this);
    m_formulaError->setObjectName(QStringLiteral("formulaError"));
    m_formulaError->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_formulaError->setStyleSheet(QStringLiteral("color: #b00020"));
    m_formulaError->setTextFormat(Qt::PlainText);
    layout->addWidget(m_formulaError);

    auto* dataRow = new QHBoxLayout;
    m_layout = new QLabel(this);
    m_layout->setObjectName(QStringLiteral("groupLayout"));
    m_groups = new QSpinBox(this);
    m_groups->setObjectName(QStringLiteral("groups"));
    m_groups->setRange(0, 100000000);
    m_groups->setSpecialValueText(QStringLiteral("all complete groups"));
    m_groups->setToolTip(QStringLiteral("How many groups of data.qtm to fit, from the first"));
    auto* groupsCaption = new QLabel(QStringLiteral("&Groups:"), this);
    groupsCaption->setBuddy(m_groups);
    m_weights = new QComboBox(this);
    m_weights->setObjectName(QStringLiteral("weights"));
    for (const WeightChoice& choice : kWeights) {
        m_weights->addItem(QString::fromUtf8(choice.caption));
        m_weights->setItemData(
            m_weights->count() - 1, QString::fromUtf8(choice.tip), Qt::ToolTipRole);
    }
    auto* weightsCaption = new QLabel(QStringLiteral("&Weights:"), this);
    weightsCaption->setBuddy(m_weights);
    dataRow->addWidget(m_layout, 1);
    dataRow->addWidget(groupsCaption);
    dataRow->addWidget(m_groups);
    dataRow->addSpacing(12);
    dataRow->addWidget(weightsCaption);
    dataRow->addWidget(m_weights);
    layout->addLayout(dataRow);

    m_parameters = new ParameterTable(this);
    layout->addWidget(m_parameters);

    auto* runRow = new QHBoxLayout;
    m_fitButton = button("fit", QStringLiteral("&Fit"),
        QStringLiteral("Fit the equation to the samples (Ctrl+Return)"), this);
    m_fitButton->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    m_cancel = button("cancel", QStringLiteral("Cancel"),
        QStringLiteral("Stop the fit; the fit shown before stays"), this);
    m_cancel->setShortcut(QKeySequence(Qt::Key_Escape));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setTextVisible(true);
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("state"));
    m_state->setWordWrap(true);
    runRow->addWidget(m_fitButton);
    runRow->addWidget(m_cancel);
    runRow->addWidget(m_progress);
    runRow->addWidget(m_state, 1);
    layout->addLayout(runRow);
    m_stopReason = new QLabel(this);
    m_stopReason->setObjectName(QStringLiteral("stopReason"));
    m_stopReason->setWordWrap(true);
    m_stopReason->setTextFormat(Qt::PlainText);
    layout->addWidget(m_stopReason);

    connect(m_formula, &QLineEdit::textChanged, this, &EquationWindow::formulaEdited);
    connect(m_weights, &QComboBox::currentIndexChanged, this, &EquationWindow::formulaEdited);
    connect(m_fitButton, &QPushButton::clicked, this, &EquationWindow::startFit);
    connect(m_cancel, &QPushButton::clicked, this, &EquationWindow::cancelFit);
    connect(m_library, &EquationLibraryBar::picked, this, &EquationWindow::entryPicked);
    connect(m_library, &EquationLibraryBar::saveRequested, this, &EquationWindow::askAndSave);
    connect(m_library, &EquationLibraryBar::told, this, &EquationWindow::setState);
    if (!m_library->problem().empty())
        setState(qt(m_library->problem()));
}

void EquationWindow::buildResults()
{
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    m_tabs = new EquationResultsTabs(this);
    layout->addWidget(m_tabs, 1);

    auto* bottom = new QHBoxLayout;
    m_useFitted = button("useFitted", QStringLiteral("&Use fitted values as start values"),
        QStringLiteral("Copy each fitted value into its start cell"), this);
    m_copy = button("copyTables", QStringLiteral("&Copy tables"),
        QStringLiteral("Copy the tables, tab-separated, for a spreadsheet"), this);
    m_saveCsv = button(
        "saveCsv", QStringLiteral("Save CS&V..."), QStringLiteral("Save the tables as CSV"), this);
    auto* close = button("close", QStringLiteral("Close"), QStringLiteral("Close (Ctrl+W)"), this);
    bottom->addWidget(m_useFitted);
    bottom->addWidget(m_copy);
    bottom->addWidget(m_saveCsv);
    bottom->addStretch(1);
    bottom->addWidget(close);
    layout->addLayout(bottom);
    connect(m_useFitted, &QPushButton::clicked, this, [this] {
        if (m_shown)
            m_parameters->useFittedValues(m_shown->result);
    });
    connect(m_copy, &QPushButton::clicked, this, &EquationWindow::copyTables);
    connect(m_saveCsv, &QPushButton::clicked, this, &EquationWindow::askAndSaveCsv);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

void EquationWindow::openWindow()
{
    m_library->reload();
    show();
    raise();
    activateWindow();
    m_formula->setFocus();
}

void EquationWindow::openWith(
    const equation::EquationEntry& entry, const std::vector<double>& values)
{
    equation::EquationEntry started = entry;
    for (std::size_t i = 0; i < started.parameters.size() && i < values.size(); ++i)
        started.parameters[i].start = values[i];
    m_library->select(entry.name);
    entryPicked(started, false);
    openWindow();
    startFit();
}

void EquationWindow::setState(const QString& text) { m_state->setText(text); }

Weighting EquationWindow::weighting() const
{
    const int index
        = std::clamp(m_weights->currentIndex(), 0, static_cast<int>(std::size(kWeights)) - 1);
    return kWeights[index].weighting;
}

void EquationWindow::formulaEdited()
{
    const equation::CompileResult compiled
        = equation::compileFormula(m_formula->text().toStdString());
    if (!compiled.tape) {
        m_tape.reset();
        const bool empty = m_formula->text().trimmed().isEmpty();
        m_formulaError->setText(empty
                ? QStringLiteral("Type an equation, or pick one from the library")
                : qt(equation::caretLines(m_formula->text().toStdString(), compiled.error.position)
                    + "\n" + compiled.error.message + " (at character "
                    + std::to_string(compiled.error.position) + ")"));
        m_layout->clear();
    } else {
        m_tape = compiled.tape;
        m_formulaError->clear();
        m_parameters->setInputs(equation::inputsFor(*m_tape, m_parameters->inputs()));
        m_layout->setText(QStringLiteral("Each group of data.qtm holds: %1")
                              .arg(qt(equation::groupLayout(*m_tape, weighting()))));
    }
    m_formulaError->setVisible(!compiled.tape);
    renderButtons();
}

void EquationWindow::entryPicked(const equation::EquationEntry& entry, bool isTemplate)
{
    equation::EquationEntry shown = entry;
    if (isTemplate) {
        // A template starts where the samples suggest, when they can be read.
        if (const equation::CompileResult compiled = equation::compileFormula(entry.formula);
            compiled.tape) {
            std::string problem;
            if (const std::optional<equation::EquationData> samples
                = samplesFor(*compiled.tape, entry.weighting, problem))
                shown = equation::templateWithStarts(entry, *samples);
        }
    }
    const auto weight = std::find_if(std::begin(kWeights), std::end(kWeights),
        [&](const WeightChoice& c) { return c.weighting == shown.weighting; });
    m_weights->setCurrentIndex(static_cast<int>(weight - std::begin(kWeights)));
    m_parameters->setInputs({});
    m_formula->setText(qt(shown.formula));
    if (m_tape)
        m_parameters->setInputs(equation::inputsFor(*m_tape, {}, &shown));
    setState(isTemplate
            ? QStringLiteral("Template \"%1\": start values from the samples where they tell")
                  .arg(qt(shown.name))
            : QStringLiteral("Saved equation \"%1\"").arg(qt(shown.name)));
}

std::optional<equation::EquationData> EquationWindow::samplesFor(
    const equation::Tape& tape, Weighting weighting, std::string& problem) const
{
    // A store of its own on the same root: the session belongs to the main window's runs.
    const core::ScratchStore store(m_runner.session().store.root());
    const std::optional<std::size_t> groups = m_groups->value() > 0
        ? std::optional<std::size_t>(static_cast<std::size_t>(m_groups->value()))
        : std::nullopt;
    equation::EquationSamples samples = equation::readEquationSamples(
        store, tape.variableCount, weighting == Weighting::Sigma, groups);
    if (!samples.error.empty()) {
        problem = samples.error;
        return std::nullopt;
    }
    problem = samples.notice;
    return std::move(samples.data);
}

bool EquationWindow::startFit()
{
    if (m_fit || !m_tape)
        return false;
    const equation::TypedEntry typed
        = equation::entryFromInputs({}, m_tape->text, m_parameters->inputs(), weighting());
    if (!typed.entry) {
        setState(qt(typed.error));
        return false;
    }
    std::string problem;
    std::optional<equation::EquationData> samples = samplesFor(*m_tape, weighting(), problem);
    if (!samples) {
        setState(qt(problem));
        return false;
    }
    const equation::EquationSetup setup = equation::setupOf(*m_tape, *typed.entry);
    if (const std::string refusal = equation::refusalOf(*m_tape, *samples, setup);
        !refusal.empty()) {
        setState(qt(refusal));
        return false;
    }
    m_fit = std::make_unique<equation::BackgroundEquationFit>(*m_tape, std::move(*samples), setup);
    m_progress->setRange(0, 0);
    m_progress->setFormat(QStringLiteral("Iteration %v"));
    setState(problem.empty() ? QStringLiteral("Fitting...")
                             : qt(problem) + QStringLiteral("; fitting..."));
    m_poll->start();
    renderButtons();
    return true;
}

void EquationWindow::cancelFit()
{
    if (!m_fit)
        return;
    m_fit->requestStop();
    setState(QStringLiteral("Stopping..."));
    renderButtons();
}

void EquationWindow::pollFit()
{
    if (!m_fit)
        return;
    if (!m_fit->done()) {
        m_progress->setFormat(QStringLiteral("Iteration %1").arg(m_fit->iterations()));
        return;
    }
    m_poll->stop();
    const bool stopped = m_fit->stopRequested() || m_fit->result().cancelled;
    auto fit = std::make_shared<ShownEquationFit>(
        ShownEquationFit { m_fit->tape(), m_fit->data(), m_fit->setup(), m_fit->result() });
    m_fit.reset();
    m_progress->setRange(0, 1);
    m_progress->setValue(stopped ? 0 : 1);
    m_progress->setFormat(stopped ? QStringLiteral("Stopped") : QStringLiteral("Done"));
    if (stopped) {
        setState(m_shown ? QStringLiteral("Stopped: the fit shown is the one before")
                         : QStringLiteral("Stopped before the fit ended"));
    } else {
        setState(QStringLiteral("Fitted %1 groups in %2 iterations")
                     .arg(fit->result.groups)
                     .arg(fit->result.iterations));
        showFit(std::move(fit));
    }
    renderButtons();
}

void EquationWindow::showFit(std::shared_ptr<const ShownEquationFit> fit)
{
    m_shown = std::move(fit);
    const equation::EquationResult& result = m_shown->result;
    m_parameters->showResult(result);
    QString reason = QStringLiteral("%1: %2").arg(
        result.converged ? QStringLiteral("Converged") : QStringLiteral("Did not converge"),
        qt(result.stopReason));
    if (!result.converged && !result.hint.empty())
        reason += QStringLiteral("\n") + qt(result.hint);
    for (const std::string& warning : result.warnings)
        reason += QStringLiteral("\n") + qt(warning);
    m_stopReason->setText(reason);
    m_stopReason->setStyleSheet(result.converged ? QString() : QStringLiteral("color: #b00020"));
    m_tabs->showFit(m_shown);
}

void EquationWindow::renderButtons()
{
    const bool fitting = m_fit != nullptr;
    m_fitButton->setEnabled(!fitting && m_tape.has_value());
    m_cancel->setEnabled(fitting && !m_fit->stopRequested());
    m_formula->setReadOnly(fitting);
    m_useFitted->setEnabled(!fitting && m_shown != nullptr);
    m_copy->setEnabled(m_shown != nullptr);
    m_saveCsv->setEnabled(m_shown != nullptr);
}

std::string EquationWindow::tablesText() const
{
    return m_shown
        ? equation::allTables(m_shown->tape, m_shown->data, m_shown->result, analysis::tabSeparated)
        : std::string();
}

std::string EquationWindow::saveCsv(const std::string& path) const
{
    if (!m_shown)
        return "There is no fit to save yet";
    const core::ExportOutcome saved = core::writeExportFile(path,
        equation::allTables(
            m_shown->tape, m_shown->data, m_shown->result, analysis::commaSeparated));
    return saved ? std::string() : "Cannot write " + path + ": " + saved.failure;
}

std::string EquationWindow::saveToLibrary(const std::string& name)
{
    if (!m_tape)
        return "The equation does not parse yet: mend it before saving";
    const equation::TypedEntry typed
        = equation::entryFromInputs(name, m_tape->text, m_parameters->inputs(), weighting());
    if (!typed.entry)
        return typed.error;
    std::string error = equation::saveEquation(m_library->root(), *typed.entry);
    m_library->reload();
    if (error.empty())
        m_library->select(name);
    return error;
}

void EquationWindow::copyTables() const { QApplication::clipboard()->setText(qt(tablesText())); }

void EquationWindow::askAndSaveCsv()
{
    const QString path = QFileDialog::getSaveFileName(this,
        QStringLiteral("Save the equation's tables"), QString(), QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    const std::string error = saveCsv(path.toStdString());
    setState(error.empty() ? QStringLiteral("Saved to %1").arg(path)
                           : QStringLiteral("The tables were not saved: %1").arg(qt(error)));
}

void EquationWindow::askAndSave()
{
    bool accepted = false;
    const QString name = QInputDialog::getText(this, QStringLiteral("Save equation"),
        QStringLiteral("Name in the library:"), QLineEdit::Normal, QString(), &accepted);
    if (!accepted)
        return;
    const std::string error = saveToLibrary(name.trimmed().toStdString());
    if (!error.empty())
        QMessageBox::warning(this, QStringLiteral("Save equation"), qt(error));
    else
        setState(QStringLiteral("Saved \"%1\" in the library").arg(name.trimmed()));
}

void EquationWindow::closeEvent(QCloseEvent* event)
{
    // A closed window keeps no work running behind it.
    if (m_fit) {
        m_poll->stop();
        m_fit.reset();
        m_progress->setRange(0, 1);
        setState(QStringLiteral("Stopped"));
        renderButtons();
    }
    QWidget::closeEvent(event);
}

EquationWindow* openEquationWindow(CommandRunner& runner, QWidget* mainWindow)
{
    auto* window = mainWindow->findChild<EquationWindow*>();
    if (window == nullptr)
        window = new EquationWindow(runner, mainWindow);
    window->openWindow();
    return window;
}

} // namespace quantem::ui
