#pragma once

#include "chart/qt/ChartFile.h"
#include "plot/FitPlot.h"

#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPrinter;
class QPushButton;

namespace quantem::ui {

/// A fit's plot with its controls: log x and log y, the bands, editable axis titles, "Save
/// plot..." and "Print...". The plot comes from a source asked again whenever an option changes;
/// it is painted afresh at the view's size.
class PlotView : public QWidget
{
    Q_OBJECT

public:
    /// Makes the plot for the given options.
    using PlotSource = std::function<plot::FitPlot(const plot::PlotOptions&)>;

    explicit PlotView(QWidget* parent = nullptr);
    ~PlotView() override;

    /// Shows the plot of source, starting from the initial options (the controls show them).
    void setPlotSource(PlotSource source, plot::PlotOptions initial);
    /// Shows no plot; saving and printing are refused until a source is set.
    void clearPlot();
    bool hasPlot() const noexcept { return m_plot.has_value(); }
    const plot::PlotOptions& options() const noexcept { return m_options; }
    /// The plot shown; call only when hasPlot.
    const plot::FitPlot& plot() const { return *m_plot; }

    /// Writes the plot to path in the format its extension names (png, svg or pdf; bmp too),
    /// size pixels. Not written without a plot or when it cannot be; the outcome says why.
    core::ExportOutcome savePlot(
        const std::filesystem::path& path, QSize size = kDefaultExportSize) const;
    /// Prints the plot on the printer as it is set up. False without a plot or when it cannot.
    bool printPlot(QPrinter& printer) const;

private:
    void refresh();
    void showOptions();
    void askAndSave();
    void askAndPrint();

    PlotSource m_source;
    plot::PlotOptions m_options;
    std::optional<plot::FitPlot> m_plot;

    QWidget* m_canvas = nullptr;
    QCheckBox* m_logX = nullptr;
    QCheckBox* m_logY = nullptr;
    QCheckBox* m_confidence = nullptr;
    QCheckBox* m_prediction = nullptr;
    QLineEdit* m_xTitle = nullptr;
    QLineEdit* m_yTitle = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_print = nullptr;
};

} // namespace quantem::ui
