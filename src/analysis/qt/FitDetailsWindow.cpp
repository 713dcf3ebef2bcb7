#include "analysis/qt/FitDetailsWindow.h"

#include "analysis/DetailsHelp.h"
#include "analysis/DetailsTables.h"
#include "analysis/Refinement.h"
#include "chart/qt/ChartFile.h"
#include "chart/qt/QtCanvas.h"
#include "plot/CataloguePlot.h"
#include "plot/qt/PlotFileDialog.h"
#include "plot/qt/PlotView.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quantem::ui {

namespace {

    constexpr int kPlotWidthTwips = 9000;
    /// Digits shown in the window's cells; copies and saved files carry all of them.
    constexpr int kShownDigits = 7;
    constexpr int kPlotHeightTwips = 5400;
    /// A saved plot in pixels, in the proportions of the window's plot.
    constexpr QSize kPlotExportSize { 1500, 900 };
    /// The smallest plot in the window that still reads, in the same proportions.
    constexpr QSize kPlotMinimumSize { 300, 180 };

    constexpr PlotFileFilter kPlotFilters[] = {
        { "PNG picture (*.png)", ".png" },
        { "Bitmap (*.bmp)", ".bmp" },
        { "SVG drawing (*.svg)", ".svg" },
        { "PDF document (*.pdf)", ".pdf" },
    };

    QString qt(const std::string& text) { return QString::fromStdString(text); }

    QTableWidget* makeTable(const char* name, QWidget* parent)
    {
        auto* table = new QTableWidget(parent);
        table->setObjectName(QString::fromLatin1(name));
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->verticalHeader()->setVisible(false);
        // Rows as tall as a line of text: more of a table fits without scrolling.
        table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
        table->setAlternatingRowColors(true);
        return table;
    }

    /// Shows a text table: its first row becomes the header.
    void fill(QTableWidget* table, const analysis::TextTable& cells)
    {
        table->clear();
        if (cells.empty()) {
            table->setRowCount(0);
            table->setColumnCount(0);
            return;
        }
        table->setColumnCount(static_cast<int>(cells[0].size()));
        table->setRowCount(static_cast<int>(cells.size()) - 1);
        QStringList header;
        for (const std::string& cell : cells[0])
            header << qt(cell);
        table->setHorizontalHeaderLabels(header);
        for (std::size_t r = 1; r < cells.size(); ++r)
            for (std::size_t c = 0; c < cells[r].size(); ++c)
                table->setItem(static_cast<int>(r) - 1, static_cast<int>(c),
                    new QTableWidgetItem(qt(cells[r][c])));
        table->resizeColumnsToContents();
    }

    /// The residual deviation's row says why it differs from the main window's S.
    void explainResidualDeviation(QTableWidget* statistics)
    {
        const QString why = QString::fromUtf8(analysis::kTwoResidualDeviations.data(),
            static_cast<qsizetype>(analysis::kTwoResidualDeviations.size()));
        for (int row = 0; row < statistics->rowCount(); ++row) {
            QTableWidgetItem* name = statistics->item(row, 0);
            if (name != nullptr && name->text() == QLatin1String("residual standard deviation"))
                name->setToolTip(why);
        }
    }

} // namespace

FitDetailsWindow::FitDetailsWindow(core::Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_session(session)
    , m_canvas(std::make_unique<QtCanvas>(kPlotWidthTwips, kPlotHeightTwips))
{
    setObjectName(QStringLiteral("FitDetails"));
    setWindowTitle(QStringLiteral("Fit details"));

    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("heading"));
    m_heading->setWordWrap(true);
    m_warning = new QLabel(this);
    m_warning->setObjectName(QStringLiteral("warning"));
    m_warning->setWordWrap(true);
    m_warning->setStyleSheet(QStringLiteral("color: #a00000;"));
    m_progress = new QLabel(this);
    m_progress->setObjectName(QStringLiteral("progress"));

    m_parameters = makeTable("parameters", this);
    m_statistics = makeTable("statistics", this);
    m_residuals = makeTable("residuals", this);

    m_plot = new QLabel(this);
    m_plot->setObjectName(QStringLiteral("plot"));
    m_plot->setAlignment(Qt::AlignCenter);
    // The plot takes the room the window gives it and is painted afresh at that size; its picture
    // never holds the window at the size it had.
    m_plot->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_plot->setMinimumSize(kPlotMinimumSize);
    m_plot->installEventFilter(this);
    m_axisChoice = new QComboBox(this);
    m_axisChoice->setObjectName(QStringLiteral("axis"));
    m_axisChoice->addItem(QStringLiteral("Residual against fitted value"));
    m_axisChoice->addItem(QStringLiteral("Residual against x1"));
    connect(m_axisChoice, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_axis = index == 1 ? analysis::ResidualAxis::X1 : analysis::ResidualAxis::Fitted;
        renderPlot();
    });

    m_refine = new QPushButton(QStringLiteral("Refine"), this);
    m_refine->setObjectName(QStringLiteral("refine"));
    m_refine->setToolTip(
        QStringLiteral("Minimise the sum of squares over all coefficients and exponents"));
    connect(m_refine, &QPushButton::clicked, this, &FitDetailsWindow::refineShown);
    m_useRefined = new QPushButton(QStringLiteral("Use refined fit"), this);
    m_useRefined->setObjectName(QStringLiteral("useRefined"));
    m_useRefined->setToolTip(QStringLiteral("Publish the refined coefficients and exponents in the "
                                            "main window: labels, report, chart and calculator"));
    connect(m_useRefined, &QPushButton::clicked, this, [this] {
        if (m_publish && m_refinement)
            m_publish(*m_refinement);
    });
    auto* copy = new QPushButton(QStringLiteral("Copy tables"), this);
    copy->setObjectName(QStringLiteral("copy"));
    connect(copy, &QPushButton::clicked, this, &FitDetailsWindow::copyTables);
    auto* save = new QPushButton(QStringLiteral("Save CSV..."), this);
    save->setObjectName(QStringLiteral("saveCsv"));
    connect(save, &QPushButton::clicked, this, &FitDetailsWindow::askAndSaveCsv);
    auto* savePicture = new QPushButton(QStringLiteral("Save plot..."), this);
    savePicture->setObjectName(QStringLiteral("savePlot"));
    connect(savePicture, &QPushButton::clicked, this, &FitDetailsWindow::askAndSavePlot);
    auto* print = new QPushButton(QStringLiteral("Print plot..."), this);
    print->setObjectName(QStringLiteral("printPlot"));
    connect(print, &QPushButton::clicked, this, &FitDetailsWindow::askAndPrintPlot);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_refine);
    buttons->addWidget(m_useRefined);
    buttons->addWidget(m_progress, 1);
    buttons->addWidget(copy);
    buttons->addWidget(save);
    buttons->addWidget(savePicture);
    buttons->addWidget(print);

    auto* plotPage = new QWidget(this);
    auto* plotLayout = new QVBoxLayout(plotPage);
    plotLayout->addWidget(m_axisChoice);
    plotLayout->addWidget(m_plot, 1);

    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("pages"));
    tabs->addTab(m_residuals, QStringLiteral("Residuals"));
    tabs->addTab(plotPage, QStringLiteral("Residual plot"));
    m_fitPlot = new PlotView(this);
    m_fitPlot->setObjectName(QStringLiteral("fitPlot"));
    tabs->addTab(m_fitPlot, QStringLiteral("Fit plot"));

    // Parameters beside the statistics above, residuals below: each part can be given room.
    auto* tables = new QSplitter(Qt::Horizontal, this);
    tables->addWidget(m_parameters);
    tables->addWidget(m_statistics);
    tables->setSizes({ 930, 460 });
    auto* parts = new QSplitter(Qt::Vertical, this);
    parts->addWidget(tables);
    parts->addWidget(tabs);
    parts->setSizes({ 240, 500 });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_warning);
    layout->addWidget(parts, 1);
    layout->addLayout(buttons);
    resize(1400, 760);
}

FitDetailsWindow::~FitDetailsWindow() = default;

void FitDetailsWindow::showFit(bool refineNow)
{
    showSnapshot(analysis::takeSnapshot(m_session), refineNow);
}

void FitDetailsWindow::showSnapshot(std::optional<analysis::FitSnapshot> fit, bool refineNow)
{
    m_mainResults = mainResults();
    m_fit = std::move(fit);
    m_details.reset();
    m_refinement.reset();
    m_pending.reset(); // a refinement still under way belongs to the fit shown before
    if (m_fit)
        m_details = analysis::describe(*m_fit);
    m_progress->clear();
    render();
    if (refineNow && m_fit)
        refineShown();
}

void FitDetailsWindow::followSession(bool refineNow)
{
    const MainResults now = mainResults();
    if (now == m_mainResults) {
        // Typing a count or a power changes no result the main window shows: the fit stays.
        if (refineNow && m_details && !m_details->refined)
            refineShown();
        return;
    }
    // A model chosen over the results of the one before shows them under its own name; they
    // are no fit of it, whatever the scratch files would make of them.
    const bool modelOnly = now.labels == m_mainResults.labels;
    showSnapshot(modelOnly ? std::nullopt : analysis::takeSnapshot(m_session), refineNow);
}

FitDetailsWindow::MainResults FitDetailsWindow::mainResults() const
{
    MainResults results { m_session.form1.checkedModel, {} };
    for (int number : core::kValueLabels)
        results.labels.push_back(m_session.form1.label(number));
    return results;
}

void FitDetailsWindow::refineShown()
{
    if (!m_fit || m_pending)
        return;
    m_refine->setEnabled(false);
    m_progress->setText(QStringLiteral("Refining..."));
    if (!m_runLong) {
        showRefinement(analysis::refine(
            *m_fit, {}, m_findStarts ? m_findStarts() : std::vector<analysis::RefineStart>()));
        return;
    }
    auto fit = std::make_shared<const analysis::FitSnapshot>(*m_fit);
    auto slot = std::make_shared<std::optional<analysis::Refinement>>();
    core::Session& session = m_session;
    const bool started = m_runLong([fit, slot, &session, find = m_findStarts] {
        // On the long run's thread, which alone touches the session meanwhile: the iteration
        // count goes to status panel 1 through the session's progress hook, which also raises
        // the stop the user asked for.
        std::string& panel = session.form1.StatusBar1[0];
        analysis::RefineControl control;
        control.progress = [&session, &panel](int iteration) {
            panel = "Refining: iteration " + std::to_string(iteration);
            if (session.progress != nullptr)
                session.progress->progress(session.form1);
        };
        const std::vector<analysis::RefineStart> starts
            = find ? find() : std::vector<analysis::RefineStart>();
        *slot = analysis::refine(*fit, control, starts);
        panel.clear();
    });
    if (started) {
        m_pending = slot;
    } else {
        m_progress->setText(QStringLiteral("Busy: refine again when the run under way has ended."));
        m_refine->setEnabled(true);
    }
}

void FitDetailsWindow::longRunFinished()
{
    if (!m_pending)
        return;
    const std::shared_ptr<std::optional<analysis::Refinement>> pending = std::move(m_pending);
    m_pending.reset();
    if (!*pending) {
        m_progress->setText(QStringLiteral("Refinement stopped."));
        m_refine->setEnabled(m_fit.has_value());
        return;
    }
    showRefinement(**pending);
}

void FitDetailsWindow::showRefinement(const analysis::Refinement& refinement)
{
    if (!m_fit)
        return;
    m_details = analysis::describe(*m_fit, refinement);
    m_refinement = refinement;
    m_progress->setText(m_details->refined
            ? QStringLiteral("Refined in %1 iterations from %3: %2")
                  .arg(refinement.iterations)
                  .arg(qt(refinement.stopReason), qt(refinement.start))
            : qt(m_details->refinementNote.value_or(std::string())));
    render();
}

void FitDetailsWindow::render()
{
    if (!m_details || !m_fit) {
        m_heading->setText(QStringLiteral("No finished fit: run a regression first."));
        m_warning->clear();
        fill(m_parameters, {});
        fill(m_statistics, {});
        fill(m_residuals, {});
        m_refine->setEnabled(false);
        m_useRefined->setEnabled(false);
        renderPlot();
        renderFitPlot();
        return;
    }
    m_heading->setText(QStringLiteral("Model %1: %2   (%3 groups, %4 parameters)")
                           .arg(m_fit->model->id)
                           .arg(qt(std::string(m_fit->model->formulaText)))
                           .arg(m_fit->groups())
                           .arg(m_fit->parameterCount()));
    m_warning->setText(qt(m_details->warning.value_or(std::string())));
    m_warning->setVisible(m_details->warning.has_value());
    fill(m_parameters, analysis::parameterTable(*m_details, kShownDigits));
    fill(m_statistics, analysis::statisticsTable(*m_details, kShownDigits));
    explainResidualDeviation(m_statistics);
    fill(m_residuals, analysis::residualTable(*m_details, kShownDigits));
    m_refine->setEnabled(!m_pending);
    // Only a power model's refined fit can be published as a search's own.
    m_useRefined->setEnabled(m_publish && m_refinement && m_details->refined && !m_pending
        && !m_fit->isLinearFamily() && m_fit->exponentCount() > 0);
    renderPlot();
    renderFitPlot();
}

void FitDetailsWindow::renderFitPlot()
{
    if (!m_details || !m_fit) {
        m_fitPlot->clearPlot();
        return;
    }
    // The source keeps its own copy of the fit: the window's may change while the view holds it.
    m_fitPlot->setPlotSource(
        [fit = *m_fit, details = *m_details](const plot::PlotOptions& options) {
            return plot::cataloguePlot(fit, details, options);
        },
        m_fitPlot->options());
}

void FitDetailsWindow::renderPlot()
{
    static const std::vector<analysis::ResidualRow> kNone;
    analysis::drawResidualPlot(*m_canvas, m_details ? m_details->residuals : kNone, m_axis,
        { kPlotWidthTwips, kPlotHeightTwips, 600.0 });
    showPlotImage();
}

void FitDetailsWindow::showPlotImage()
{
    const QSize room = m_plot->size().expandedTo(kPlotMinimumSize);
    const QSize size = kPlotExportSize.scaled(room, Qt::KeepAspectRatio);
    m_plot->setPixmap(QPixmap::fromImage(drawingImage(m_canvas->drawing(), plotPart(), size)));
}

bool FitDetailsWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_plot && event->type() == QEvent::Resize)
        showPlotImage();
    return QWidget::eventFilter(watched, event);
}

std::string FitDetailsWindow::tablesText() const
{
    if (!m_details)
        return {};
    return analysis::tabSeparated(analysis::parameterTable(*m_details)) + "\n"
        + analysis::tabSeparated(analysis::statisticsTable(*m_details)) + "\n"
        + analysis::tabSeparated(analysis::residualTable(*m_details));
}

core::ExportOutcome FitDetailsWindow::saveCsv(const std::string& path) const
{
    if (!m_details)
        return { "there is no fit to save yet" };
    const std::string text = analysis::commaSeparated(analysis::parameterTable(*m_details)) + "\r\n"
        + analysis::commaSeparated(analysis::statisticsTable(*m_details)) + "\r\n"
        + analysis::commaSeparated(analysis::residualTable(*m_details));
    return core::writeExportFile(path, text);
}

core::ExportOutcome FitDetailsWindow::savePlot(const std::string& path) const
{
    const std::optional<DrawingFormat> format = drawingFormatOf(path);
    if (!format)
        return { "its name must end in .png, .bmp, .svg or .pdf" };
    return writeDrawingFile(m_canvas->drawing(), plotPart(), path, *format, kPlotExportSize);
}

bool FitDetailsWindow::printPlot(QPrinter& printer) const
{
    return printDrawing(printer, m_canvas->drawing(), plotPart());
}

DrawingPart FitDetailsWindow::plotPart() const
{
    return { m_canvas->surface(), QString(), QStringLiteral("Quantem residual plot") };
}

void FitDetailsWindow::copyTables() const { QApplication::clipboard()->setText(qt(tablesText())); }

void FitDetailsWindow::askAndSaveCsv()
{
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save fit details"), QString(), QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    if (const core::ExportOutcome saved = saveCsv(path.toStdString()); !saved)
        m_progress->setText(QStringLiteral("The tables could not be saved to %1: %2")
                                .arg(path, QString::fromStdString(saved.failure)));
}

void FitDetailsWindow::askAndSavePlot()
{
    const QString path = askPlotFile(this, QStringLiteral("Save residual plot"), kPlotFilters);
    if (path.isEmpty())
        return;
    if (const core::ExportOutcome saved = savePlot(path.toStdString()); !saved)
        m_progress->setText(QStringLiteral("The plot could not be saved to %1: %2")
                                .arg(path, QString::fromStdString(saved.failure)));
}

void FitDetailsWindow::askAndPrintPlot()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Residual plot"));
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Print residual plot"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!printPlot(printer))
        m_progress->setText(QStringLiteral("The plot could not be printed."));
}

} // namespace quantem::ui
