#include "equation/qt/EquationResultsTabs.h"

#include "equation/EquationTables.h"
#include "plot/EquationPlot.h"
#include "plot/qt/PlotView.h"

#include <QHeaderView>
#include <QTableWidget>

#include <algorithm>

namespace quantem::ui {

namespace {

    // A table widget slows down past some thousands of rows; "Save CSV" has them all.
    constexpr std::size_t kShownResidualRows = 5000;
    constexpr int kResidualPage = 3;

    QString qt(const std::string& text) { return QString::fromStdString(text); }

    QTableWidget* textTable(const char* name, QWidget* parent)
    {
        auto* table = new QTableWidget(parent);
        table->setObjectName(QString::fromLatin1(name));
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->verticalHeader()->hide();
        table->setAlternatingRowColors(true);
        return table;
    }

    /// Shows a table whose first row is its header, at most rows rows of the rest.
    void fill(QTableWidget* widget, const analysis::TextTable& table,
        std::size_t rows = static_cast<std::size_t>(-1))
    {
        widget->clear();
        const std::size_t shown = table.empty() ? 0 : std::min(rows, table.size() - 1);
        widget->setColumnCount(table.empty() ? 0 : static_cast<int>(table.front().size()));
        widget->setRowCount(static_cast<int>(shown));
        if (table.empty())
            return;
        QStringList header;
        for (const std::string& cell : table.front())
            header << qt(cell);
        widget->setHorizontalHeaderLabels(header);
        for (std::size_t r = 0; r < shown; ++r)
            for (std::size_t c = 0; c < table[r + 1].size(); ++c)
                widget->setItem(static_cast<int>(r), static_cast<int>(c),
                    new QTableWidgetItem(qt(table[r + 1][c])));
        widget->resizeColumnsToContents();
    }

} // namespace

EquationResultsTabs::EquationResultsTabs(QWidget* parent)
    : QTabWidget(parent)
{
    setObjectName(QStringLiteral("results"));
    m_plot = new PlotView(this);
    m_statistics = textTable("statistics", this);
    m_correlation = textTable("correlation", this);
    m_residuals = textTable("residuals", this);
    addTab(m_plot, QStringLiteral("&Plot"));
    addTab(m_statistics, QStringLiteral("S&tatistics"));
    addTab(m_correlation, QStringLiteral("C&orrelation"));
    addTab(m_residuals, QStringLiteral("Resi&duals"));
}

void EquationResultsTabs::showFit(const std::shared_ptr<const ShownEquationFit>& fit)
{
    fill(m_statistics, equation::statisticsTable(fit->result, 10));
    fill(m_correlation, equation::correlationTable(fit->result, 4));
    const analysis::TextTable residuals
        = equation::residualTable(fit->tape, fit->data, fit->result, 10);
    fill(m_residuals, residuals, kShownResidualRows);
    setTabToolTip(kResidualPage,
        residuals.size() - 1 > kShownResidualRows
            ? QStringLiteral("The first %1 of %2 groups; Save CSV has them all")
                  .arg(kShownResidualRows)
                  .arg(residuals.size() - 1)
            : QString());
    m_plot->setPlotSource(
        [fit](const plot::PlotOptions& options) {
            return plot::equationPlot(fit->tape, fit->data, fit->result, fit->setup, options);
        },
        plot::PlotOptions {});
}

} // namespace quantem::ui
