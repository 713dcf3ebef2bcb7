#pragma once

#include "analysis/FitDetails.h"
#include "analysis/Refinement.h"
#include "analysis/ResidualPlot.h"
#include "core/ExportFile.h"
#include "core/Session.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;
class QTableWidget;

namespace quantem::ui {

class PlotView;
class QtCanvas;
struct DrawingPart;

/// The fit details window: the parameters of the fit the main window shows (published, stable
/// solve and refined side by side), its statistics, the conditioning warning, the residual
/// table, the residual plot and the plot of the fit with its bands. It copies its tables to the
/// clipboard, saves them as CSV, and saves and prints the plot as the chart window does its chart.
/// Refinement runs on request, or at once when the fit was quick.
class FitDetailsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit FitDetailsWindow(core::Session& session, QWidget* parent = nullptr);
    ~FitDetailsWindow() override;

    /// Takes the fit the session shows now and renders its details; refines at once when
    /// refineNow. Shows "no fit" when there is none.
    void showFit(bool refineNow);
    /// Follows the main window after a command: when its results or its model changed since the
    /// fit shown was taken, takes the session's fit again as showFit does (no fit after a new
    /// model, cleared or refused results); otherwise keeps the fit shown with its refinement and
    /// refines it when refineNow and it is not refined yet.
    void followSession(bool refineNow);
    /// Refines the fit shown: as a long run when a long runner is set (its iterations in status
    /// panel 1, stopped by the main window's Stop), otherwise at once.
    void refineShown();
    /// The way to run a long command off the window's thread; returns false when refused.
    void setLongRunner(std::function<bool(std::function<void()>)> runLong)
    {
        m_runLong = std::move(runLong);
    }
    /// Takes the result of a refinement run that has ended (nothing when none was under way).
    void longRunFinished();
    /// Where the refinement may start besides the fit and a plain start (the step search run
    /// again from other initial values); called on the refinement's thread.
    void setStartsFinder(std::function<std::vector<analysis::RefineStart>()> find)
    {
        m_findStarts = std::move(find);
    }
    /// What "Use refined fit" does with the refinement shown: publish it in the main window.
    /// Without it the button stays disabled.
    void setRefinedFitPublisher(std::function<void(const analysis::Refinement&)> publish)
    {
        m_publish = std::move(publish);
    }

    /// The three tables as tab-separated text, one after the other.
    std::string tablesText() const;
    /// Saves the three tables as CSV to path, never through a link; the outcome says why not.
    core::ExportOutcome saveCsv(const std::string& path) const;
    /// Saves the residual plot, drawn afresh at export size, in the format its name ends with
    /// (.png, .bmp, .svg or .pdf), never through a link; the outcome says why not.
    core::ExportOutcome savePlot(const std::string& path) const;
    /// Prints the residual plot on the printer as it is set up; false when it cannot print.
    bool printPlot(QPrinter& printer) const;

    const std::optional<analysis::FitDetails>& details() const noexcept { return m_details; }

private:
    /// What the main window shows of its fit: the model chosen and the value labels.
    struct MainResults
    {
        int model = 0;
        std::vector<std::string> labels;
        bool operator==(const MainResults&) const = default;
    };
    MainResults mainResults() const;
    void showSnapshot(std::optional<analysis::FitSnapshot> fit, bool refineNow);
    void render();
    void renderPlot();
    /// Gives the fit plot the fit shown, keeping the options the user chose.
    void renderFitPlot();
    /// Paints the plot afresh at the largest size of its proportions that the window gives it.
    void showPlotImage();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void copyTables() const;
    void askAndSaveCsv();
    void askAndSavePlot();
    void askAndPrintPlot();
    /// The whole plot surface, as the window shows it.
    DrawingPart plotPart() const;

    void showRefinement(const analysis::Refinement& refinement);

    core::Session& m_session;
    std::function<bool(std::function<void()>)> m_runLong;
    std::function<std::vector<analysis::RefineStart>()> m_findStarts;
    std::function<void(const analysis::Refinement&)> m_publish;
    std::optional<analysis::Refinement> m_refinement; // of the fit shown, once refined
    /// The result slot of a refinement under way on the long run's thread.
    std::shared_ptr<std::optional<analysis::Refinement>> m_pending;
    std::optional<analysis::FitSnapshot> m_fit;
    MainResults m_mainResults; // when m_fit was taken
    std::optional<analysis::FitDetails> m_details;
    analysis::ResidualAxis m_axis = analysis::ResidualAxis::Fitted;
    std::unique_ptr<QtCanvas> m_canvas;

    QLabel* m_heading = nullptr;
    QLabel* m_warning = nullptr;
    QLabel* m_progress = nullptr;
    QTableWidget* m_parameters = nullptr;
    QTableWidget* m_statistics = nullptr;
    QTableWidget* m_residuals = nullptr;
    QLabel* m_plot = nullptr;
    PlotView* m_fitPlot = nullptr;
    QComboBox* m_axisChoice = nullptr;
    QPushButton* m_refine = nullptr;
    QPushButton* m_useRefined = nullptr;
};

} // namespace quantem::ui
