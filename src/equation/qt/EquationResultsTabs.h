#pragma once

#include "equation/EquationFit.h"

#include <QTabWidget>

#include <memory>

class QTableWidget;

namespace quantem::ui {

class PlotView;

/// A fit on the screen: what was fitted and what the fit reached.
struct ShownEquationFit
{
    equation::Tape tape;
    equation::EquationData data;
    equation::EquationSetup setup;
    equation::EquationResult result;
};

/// The result pages of the equation window: the plot, the statistics, the correlation matrix
/// and the residual table of the fit shown.
class EquationResultsTabs : public QTabWidget
{
    Q_OBJECT

public:
    explicit EquationResultsTabs(QWidget* parent = nullptr);

    void showFit(const std::shared_ptr<const ShownEquationFit>& fit);
    PlotView* plot() const noexcept { return m_plot; }

private:
    PlotView* m_plot = nullptr;
    QTableWidget* m_statistics = nullptr;
    QTableWidget* m_correlation = nullptr;
    QTableWidget* m_residuals = nullptr;
};

} // namespace quantem::ui
