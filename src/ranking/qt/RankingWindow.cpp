#include "ranking/qt/RankingWindow.h"

#include "app/qt/ToolIcons.h"
#include "core/NumberText.h"
#include "equation/EquationLibrary.h"
#include "ranking/ModelFit.h"
#include "ranking/RankingPlan.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

namespace quantem::ui {

namespace {

    using ranking::RankRow;
    using ranking::Statistic;

    constexpr int kSortRole = Qt::UserRole;
    constexpr int kPollMilliseconds = 100;
    constexpr int kFormulaColumn = 3;

    // clang-format off
    constexpr const char* kColumnTitles[] {
        "Rank", "Model", "n", "Formula", "Parameters", "AICc", "BIC", "Mean error", "R", "F",
        "S", "Biggest error", "Mean relative error", "Refined AICc", "Refined mean error",
        "Message",
    };
    // clang-format on

    QString qt(const std::string& text) { return QString::fromStdString(text); }

    /// A cell showing text and sorting by value; a missing value sorts after every number.
    QStandardItem* cell(const QString& text, double sortValue)
    {
        auto* item = new QStandardItem(text);
        item->setData(sortValue, kSortRole);
        item->setEditable(false);
        return item;
    }

    QStandardItem* numberCell(const std::optional<double>& value)
    {
        return value ? cell(qt(core::doubleText(*value)), *value)
                     : cell(QString(), std::numeric_limits<double>::infinity());
    }

    QStandardItem* shownCell(const RankRow& row, Statistic which)
    {
        const std::optional<double> value = row.statistic(which);
        const std::string& text = row.statisticTexts[static_cast<std::size_t>(which)];
        return cell(
            value ? qt(text) : QString(), value ? *value : std::numeric_limits<double>::infinity());
    }

    QStandardItem* textCell(const std::string& text)
    {
        auto* item = new QStandardItem(qt(text));
        item->setData(qt(text), kSortRole);
        item->setEditable(false);
        return item;
    }

    QList<QStandardItem*> rowItems(const RankRow& row, int rank)
    {
        const std::optional<int> elements = row.choice.elements;
        return {
            cell(QString::number(rank), rank),
            row.equation ? textCell(*row.equation)
                         : cell(QString::number(row.choice.model), row.choice.model),
            elements ? cell(QString::number(*elements), *elements) : cell(QString(), 0),
            textCell(row.formula),
            cell(QString::number(row.parameters), row.parameters),
            numberCell(row.aicc),
            numberCell(row.bic),
            shownCell(row, Statistic::MeanError),
            shownCell(row, Statistic::R),
            shownCell(row, Statistic::F),
            shownCell(row, Statistic::S),
            shownCell(row, Statistic::BiggestError),
            shownCell(row, Statistic::MeanRelativeError),
            numberCell(row.refinedAicc),
            numberCell(row.refinedMeanError),
            // A run without a message tells what else there is to know about its fit.
            textCell(row.message().empty() && !row.notices.empty() ? row.notices.front()
                                                                   : row.message()),
        };
    }

    /// The inputs that are no longer those the rows were ranked for, as the notice names them.
    QStringList changedInputs(const ranking::RankingInput& ranked, int rankedGroupSize,
        const ranking::RankingInput& current, int groupSize)
    {
        QStringList changed;
        // Blanks around a count are not another count: the labels show the texts trimmed.
        if (qt(ranked.samples).trimmed() != qt(current.samples).trimmed())
            changed << QStringLiteral("the sample count");
        if (qt(ranked.power).trimmed() != qt(current.power).trimmed())
            changed << QStringLiteral("the power initial value");
        if (ranked.sampleFile != current.sampleFile)
            changed << QStringLiteral("the samples in data.qtm");
        if (rankedGroupSize != groupSize)
            changed << QStringLiteral("the group size");
        return changed;
    }

    /// "a", "a and b", "a, b and c".
    QString inWords(QStringList items)
    {
        const QString last = items.takeLast();
        return items.isEmpty() ? last : items.join(QStringLiteral(", ")) + " and " + last;
    }

    QPushButton* button(const char* name, const QString& caption, QWidget* parent)
    {
        auto* pushButton = new QPushButton(caption, parent);
        pushButton->setObjectName(QString::fromLatin1(name));
        pushButton->setAutoDefault(false);
        return pushButton;
    }

} // namespace

RankingWindow::RankingWindow(CommandRunner& runner, QWidget* parent)
    : QDialog(parent)
    , m_runner(runner)
{
    setObjectName(QStringLiteral("RankingWindow"));
    setWindowTitle(QStringLiteral("Fit all models"));
    setWindowIcon(fitAllModelsIcon());
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    auto* inputs = new QHBoxLayout;
    auto* groupCaption = new QLabel(QStringLiteral("Numbers per group:"), this);
    m_groupSize = new QSpinBox(this);
    m_groupSize->setObjectName(QStringLiteral("groupSize"));
    m_groupSize->setRange(2, 51);
    m_groupSize->setValue(2);
    m_groupSize->setToolTip(
        QStringLiteral("2, 3 or 4 numbers for the catalogue models; more for multiple linear "
                       "regression (y last)"));
    groupCaption->setBuddy(m_groupSize);
    m_samples = new QLabel(this);
    m_samples->setObjectName(QStringLiteral("samples"));
    m_power = new QLabel(this);
    m_power->setObjectName(QStringLiteral("power"));
    m_rank = button("rank", QStringLiteral("Rank"), this);
    inputs->addWidget(groupCaption);
    inputs->addWidget(m_groupSize);
    inputs->addSpacing(16);
    inputs->addWidget(m_samples);
    inputs->addSpacing(16);
    inputs->addWidget(m_power);
    inputs->addStretch(1);
    inputs->addWidget(m_rank);
    layout->addLayout(inputs);

    auto* progress = new QHBoxLayout;
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setFormat(QStringLiteral("%v of %m models"));
    m_cancel = button("cancel", QStringLiteral("Cancel"), this);
    progress->addWidget(m_progress, 1);
    progress->addWidget(m_cancel);
    layout->addLayout(progress);

    buildStaleNotice();
    layout->addWidget(m_staleNotice);
    buildTable();
    layout->addWidget(m_table, 1);

    auto* bottom = new QHBoxLayout;
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("state"));
    m_useModel = button("useModel", QStringLiteral("Use this model"), this);
    m_useModel->setToolTip(
        QStringLiteral("Fit the selected model in the main window, as its menu would; a saved "
                       "equation opens in the equation window"));
    bottom->addWidget(m_state, 1);
    bottom->addWidget(m_useModel);
    layout->addLayout(bottom);

    m_poll = new QTimer(this);
    m_poll->setInterval(kPollMilliseconds);
    connect(m_poll, &QTimer::timeout, this, &RankingWindow::pollRanking);
    connect(m_rank, &QPushButton::clicked, this, &RankingWindow::startRanking);
    connect(m_cancel, &QPushButton::clicked, this, &RankingWindow::cancelRanking);
    connect(m_rankAgain, &QPushButton::clicked, this, &RankingWindow::startRanking);
    connect(m_groupSize, &QSpinBox::valueChanged, this, &RankingWindow::renderCounts);
    connect(m_useModel, &QPushButton::clicked, this, &RankingWindow::useSelectedModel);
    connect(m_table, &QTableView::doubleClicked, this, &RankingWindow::useModelAt);
    connect(&m_runner, &CommandRunner::stateChanged, this, &RankingWindow::renderCounts);
    connect(&m_runner, &CommandRunner::runStarted, this, &RankingWindow::renderButtons);
    connect(&m_runner, &CommandRunner::runFinished, this, &RankingWindow::renderButtons);

    resize(1240, 600);
    renderCounts();
    renderButtons();
}

RankingWindow::~RankingWindow() = default;

void RankingWindow::buildTable()
{
    m_model = new QStandardItemModel(0, static_cast<int>(std::size(kColumnTitles)), this);
    for (int c = 0; c < m_model->columnCount(); ++c)
        m_model->setHeaderData(c, Qt::Horizontal, QString::fromLatin1(kColumnTitles[c]));
    m_sorted = new QSortFilterProxyModel(this);
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(kSortRole);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("table"));
    m_table->setModel(m_sorted);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(0, Qt::AscendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setAlternatingRowColors(true);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &RankingWindow::renderButtons);
}

void RankingWindow::buildStaleNotice()
{
    // In the colours of a tip, so that it stands out from the table in every style.
    m_staleNotice = new QWidget(this);
    m_staleNotice->setObjectName(QStringLiteral("staleNotice"));
    m_staleNotice->setAutoFillBackground(true);
    m_staleNotice->setBackgroundRole(QPalette::ToolTipBase);
    m_staleNotice->setForegroundRole(QPalette::ToolTipText);
    auto* row = new QHBoxLayout(m_staleNotice);
    row->setContentsMargins(8, 4, 4, 4);
    m_staleText = new QLabel(m_staleNotice);
    m_staleText->setObjectName(QStringLiteral("staleText"));
    m_staleText->setWordWrap(true);
    m_staleText->setForegroundRole(QPalette::ToolTipText);
    m_rankAgain = button("rankAgain", QStringLiteral("Rank again"), m_staleNotice);
    row->addWidget(m_staleText, 1);
    row->addWidget(m_rankAgain);
    m_staleNotice->hide();
}

void RankingWindow::openWindow()
{
    renderCounts();
    show();
    raise();
    activateWindow();
}

void RankingWindow::renderCounts()
{
    if (m_runner.busy())
        return;
    const ranking::RankingInput input = ranking::rankingInputOf(m_runner.session());
    m_samples->setText(QStringLiteral("Samples (N): %1").arg(qt(input.samples).trimmed()));
    m_power->setText(QStringLiteral("Power initial value: %1").arg(qt(input.power).trimmed()));
    renderStale(input);
}

void RankingWindow::renderStale(const ranking::RankingInput& current)
{
    const QStringList changed = m_rankedGroupSize
        ? changedInputs(m_input, *m_rankedGroupSize, current, m_groupSize->value())
        : QStringList();
    m_stale = !changed.isEmpty();
    if (m_stale)
        m_staleText->setText(
            QStringLiteral("These rows were ranked before %1 changed: rank again for the current "
                           "inputs.")
                .arg(inWords(changed)));
    m_staleNotice->setVisible(m_stale);
}

void RankingWindow::startRanking()
{
    if (m_runner.busy())
        return;
    m_ranking.reset();
    m_input = ranking::rankingInputOf(m_runner.session());
    m_rankedGroupSize = m_groupSize->value();
    renderStale(m_input);
    std::vector<ranking::ModelChoice> plan
        = ranking::rankingPlan(m_groupSize->value(), ranking::sampleCountOf(m_input));
    // The saved equations of this group size are ranked with the catalogue models.
    const equation::LibraryContents library
        = equation::readEquationLibrary(m_runner.session().store.root());
    m_equations = ranking::equationsForGroupSize(library.entries, m_groupSize->value());
    m_rows.clear();
    showRows();
    m_progress->setRange(0, static_cast<int>(plan.size() + m_equations.size()));
    m_progress->setValue(0);
    m_state->setText(library.problem.empty()
            ? QStringLiteral("Ranking...")
            : qt(library.problem) + QStringLiteral("; ranking..."));
    m_ranking
        = std::make_unique<ranking::BackgroundRanking>(m_input, std::move(plan), 0, m_equations);
    m_poll->start();
    renderButtons();
}

void RankingWindow::cancelRanking()
{
    if (m_ranking)
        m_ranking->requestStop();
    m_state->setText(QStringLiteral("Stopping..."));
    renderButtons();
}

void RankingWindow::pollRanking()
{
    if (!m_ranking)
        return;
    m_progress->setValue(static_cast<int>(m_ranking->finished()));
    if (!m_ranking->done())
        return;
    m_poll->stop();
    const bool stopped = m_ranking->stopRequested();
    const std::size_t total = m_ranking->total();
    m_rows = m_ranking->rows();
    m_ranking.reset();
    showRows();
    std::size_t fitted = 0;
    for (const RankRow& row : m_rows)
        fitted += row.fitted() ? 1 : 0;
    m_state->setText(QStringLiteral("%1%2 of %3 models ranked, %4 fitted")
                         .arg(stopped ? QStringLiteral("Stopped: ") : QString())
                         .arg(m_rows.size())
                         .arg(total)
                         .arg(fitted));
    renderButtons();
}

void RankingWindow::showRows()
{
    m_model->removeRows(0, m_model->rowCount());
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        m_model->appendRow(rowItems(m_rows[i], static_cast<int>(i + 1)));
    m_table->resizeColumnsToContents();
    // Long formulas are cut at the right; the whole text shows in the cell's tip.
    m_table->setColumnWidth(kFormulaColumn, std::min(m_table->columnWidth(kFormulaColumn), 340));
    if (!m_rows.empty())
        m_table->selectRow(0);
}

void RankingWindow::renderButtons()
{
    const bool running = m_ranking != nullptr;
    // The main window's own long run owns the session it would read the counts from.
    m_rank->setEnabled(!running && !m_runner.busy());
    m_rankAgain->setEnabled(m_rank->isEnabled());
    m_groupSize->setEnabled(!running);
    m_cancel->setEnabled(running && !m_ranking->stopRequested());
    m_useModel->setEnabled(
        !running && !m_runner.busy() && m_table->selectionModel()->hasSelection());
}

void RankingWindow::useSelectedModel()
{
    const QModelIndexList selected = m_table->selectionModel()->selectedRows();
    if (!selected.isEmpty())
        useModelAt(selected.front());
}

void RankingWindow::useModelAt(const QModelIndex& index)
{
    if (m_ranking != nullptr || m_runner.busy() || !index.isValid())
        return;
    const int rank = m_sorted->mapToSource(index).row();
    if (rank < 0 || static_cast<std::size_t>(rank) >= m_rows.size())
        return;
    const RankRow& row = m_rows[static_cast<std::size_t>(rank)];
    if (row.equation) {
        const auto entry = std::find_if(m_equations.begin(), m_equations.end(),
            [&row](const equation::EquationEntry& e) { return e.name == *row.equation; });
        if (entry != m_equations.end() && m_useEquation) {
            m_useEquation(*entry, row.equationValues);
            if (m_stale)
                m_state->setText(QStringLiteral(
                    "These rows are stale: the equation opened with the values they were ranked "
                    "with. Rank again for the current inputs."));
        }
        return;
    }
    const ranking::ModelChoice choice = row.choice;
    core::Session& session = m_runner.session();
    // Off the window's thread, as the menu's own regression runs.
    const bool started = m_runner.runLong([&session, input = m_input, choice] {
        ranking::fitAsFromMenus(session, input, choice, true);
    });
    if (started && m_stale)
        m_state->setText(QStringLiteral("These rows are stale: model %1 is fitted with the sample "
                                        "count and power initial value they were ranked for. Rank "
                                        "again for the current inputs.")
                             .arg(choice.model));
    if (QWidget* main = parentWidget()) {
        main->raise();
        main->activateWindow();
    }
}

void RankingWindow::closeEvent(QCloseEvent* event)
{
    // A closed window keeps no work running behind it.
    if (m_ranking) {
        m_ranking->requestStop();
        m_poll->stop();
        m_ranking.reset();
        m_state->setText(QStringLiteral("Stopped"));
        renderButtons();
    }
    QDialog::closeEvent(event);
}

void RankingWindow::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        renderCounts();
}

RankingWindow* openRankingWindow(CommandRunner& runner, QWidget* mainWindow)
{
    auto* ranking = mainWindow->findChild<RankingWindow*>();
    if (ranking == nullptr)
        ranking = new RankingWindow(runner, mainWindow);
    ranking->openWindow();
    return ranking;
}

} // namespace quantem::ui
