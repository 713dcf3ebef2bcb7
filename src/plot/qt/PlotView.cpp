#include "plot/qt/PlotView.h"

#include "plot/qt/PlotFile.h"
#include "plot/qt/PlotFileDialog.h"
#include "plot/qt/PlotPainter.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace quantem::ui {

namespace {

    constexpr PlotFileFilter kPlotFilters[] = {
        { "PNG picture (*.png)", ".png" },
        { "SVG drawing (*.svg)", ".svg" },
        { "PDF document (*.pdf)", ".pdf" },
    };
    constexpr QSize kSmallestCanvas { 320, 220 };

    /// Paints the view's plot at whatever size the widget has now.
    class PlotCanvas : public QWidget
    {
    public:
        PlotCanvas(const std::optional<plot::FitPlot>& plot, QWidget* parent)
            : QWidget(parent)
            , m_plot(plot)
        {
            setObjectName(QStringLiteral("plotCanvas"));
            setMinimumSize(kSmallestCanvas);
            setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        }

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter painter(this);
            if (m_plot) {
                paintPlot(painter, QRectF(rect()), *m_plot);
                return;
            }
            painter.fillRect(rect(), Qt::white);
            painter.setPen(Qt::darkGray);
            painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("No fit to plot."));
        }

    private:
        const std::optional<plot::FitPlot>& m_plot;
    };

    QCheckBox* makeCheck(const char* name, const char* caption, const char* tip, QWidget* parent)
    {
        auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
        box->setObjectName(QString::fromLatin1(name));
        box->setToolTip(QString::fromUtf8(tip));
        return box;
    }

    QLineEdit* makeTitleEdit(const char* name, const char* tip, QWidget* parent)
    {
        auto* edit = new QLineEdit(parent);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setToolTip(QString::fromUtf8(tip));
        edit->setClearButtonEnabled(true);
        return edit;
    }

} // namespace

PlotView::PlotView(QWidget* parent)
    : QWidget(parent)
{
    m_canvas = new PlotCanvas(m_plot, this);
    m_logX = makeCheck("logX", "Log x", "Show the x axis on a logarithmic scale", this);
    m_logY = makeCheck("logY", "Log y", "Show the y axis on a logarithmic scale", this);
    m_confidence = makeCheck("confidenceBand", "Confidence band",
        "Show the 95% confidence band of the fitted curve (where its mean lies)", this);
    m_prediction = makeCheck("predictionBand", "Prediction band",
        "Show the 95% prediction band (where a new measurement would fall)", this);
    m_xTitle = makeTitleEdit("xTitle", "The x axis title; empty for the variable's name", this);
    m_yTitle = makeTitleEdit("yTitle", "The y axis title; empty for y", this);
    m_save = new QPushButton(QStringLiteral("Save plot..."), this);
    m_save->setObjectName(QStringLiteral("savePlotFile"));
    m_save->setToolTip(QStringLiteral("Save the plot as a PNG picture, an SVG drawing or a PDF"));
    m_print = new QPushButton(QStringLiteral("Print..."), this);
    m_print->setObjectName(QStringLiteral("printPlotPage"));
    m_print->setToolTip(QStringLiteral("Print the plot"));

    connect(m_logX, &QCheckBox::toggled, this, [this](bool on) {
        m_options.xScale = on ? plot::AxisScale::Log : plot::AxisScale::Linear;
        refresh();
    });
    connect(m_logY, &QCheckBox::toggled, this, [this](bool on) {
        m_options.yScale = on ? plot::AxisScale::Log : plot::AxisScale::Linear;
        refresh();
    });
    connect(m_confidence, &QCheckBox::toggled, this, [this](bool on) {
        m_options.confidenceBand = on;
        refresh();
    });
    connect(m_prediction, &QCheckBox::toggled, this, [this](bool on) {
        m_options.predictionBand = on;
        refresh();
    });
    connect(m_xTitle, &QLineEdit::editingFinished, this, [this] {
        m_options.xTitle = m_xTitle->text().toStdString();
        refresh();
    });
    connect(m_yTitle, &QLineEdit::editingFinished, this, [this] {
        m_options.yTitle = m_yTitle->text().toStdString();
        refresh();
    });
    connect(m_save, &QPushButton::clicked, this, &PlotView::askAndSave);
    connect(m_print, &QPushButton::clicked, this, &PlotView::askAndPrint);

    // Two rows, so that the controls never hold a window wider than its plot needs.
    auto* choices = new QHBoxLayout;
    choices->addWidget(m_logX);
    choices->addWidget(m_logY);
    choices->addWidget(m_confidence);
    choices->addWidget(m_prediction);
    choices->addStretch(1);
    choices->addWidget(m_save);
    choices->addWidget(m_print);
    auto* titles = new QHBoxLayout;
    titles->addWidget(new QLabel(QStringLiteral("x title:"), this));
    titles->addWidget(m_xTitle, 1);
    titles->addWidget(new QLabel(QStringLiteral("y title:"), this));
    titles->addWidget(m_yTitle, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(choices);
    layout->addLayout(titles);
    layout->addWidget(m_canvas, 1);
    showOptions();
}

PlotView::~PlotView() = default;

void PlotView::setPlotSource(PlotSource source, plot::PlotOptions initial)
{
    m_source = std::move(source);
    m_options = std::move(initial);
    showOptions();
    refresh();
}

void PlotView::clearPlot()
{
    m_source = nullptr;
    refresh();
}

void PlotView::refresh()
{
    if (m_source)
        m_plot = m_source(m_options);
    else
        m_plot.reset();
    // The names the titles take when left empty.
    m_xTitle->setPlaceholderText(m_plot ? QString::fromStdString(m_plot->x.title) : QString());
    m_yTitle->setPlaceholderText(m_plot ? QString::fromStdString(m_plot->y.title) : QString());
    for (QWidget* control : { static_cast<QWidget*>(m_logX), static_cast<QWidget*>(m_logY),
             static_cast<QWidget*>(m_confidence), static_cast<QWidget*>(m_prediction),
             static_cast<QWidget*>(m_xTitle), static_cast<QWidget*>(m_yTitle),
             static_cast<QWidget*>(m_save), static_cast<QWidget*>(m_print) })
        control->setEnabled(m_plot.has_value());
    m_canvas->update();
}

void PlotView::showOptions()
{
    // The controls show the options without asking the source again for each.
    const QSignalBlocker blocks[] { QSignalBlocker(m_logX), QSignalBlocker(m_logY),
        QSignalBlocker(m_confidence), QSignalBlocker(m_prediction), QSignalBlocker(m_xTitle),
        QSignalBlocker(m_yTitle) };
    m_logX->setChecked(m_options.xScale == plot::AxisScale::Log);
    m_logY->setChecked(m_options.yScale == plot::AxisScale::Log);
    m_confidence->setChecked(m_options.confidenceBand);
    m_prediction->setChecked(m_options.predictionBand);
    m_xTitle->setText(QString::fromStdString(m_options.xTitle));
    m_yTitle->setText(QString::fromStdString(m_options.yTitle));
}

core::ExportOutcome PlotView::savePlot(const std::filesystem::path& path, QSize size) const
{
    if (!m_plot)
        return { "there is no plot to save yet" };
    return writePlotFile(*m_plot, path, size);
}

bool PlotView::printPlot(QPrinter& printer) const
{
    return m_plot && printFitPlot(printer, *m_plot);
}

void PlotView::askAndSave()
{
    const QString path = askPlotFile(this, QStringLiteral("Save plot"), kPlotFilters);
    if (path.isEmpty())
        return;
    const core::ExportOutcome saved = savePlot(path.toStdString());
    if (!saved)
        QMessageBox::warning(this, QStringLiteral("Save plot"),
            QStringLiteral("The plot was not saved to %1: %2.")
                .arg(path, QString::fromStdString(saved.failure)));
}

void PlotView::askAndPrint()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Plot"));
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Print plot"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!printPlot(printer))
        QMessageBox::warning(this, QStringLiteral("Print plot"),
            QStringLiteral("The plot could not be printed: check that the printer is ready, or "
                           "print to a PDF file instead."));
}

} // namespace quantem::ui
