#pragma once

#include "app/qt/CommandRunner.h"
#include "equation/EquationEntry.h"
#include "ranking/BackgroundRanking.h"

#include <QDialog>
#include <QIcon>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QModelIndex;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QSpinBox;
class QStandardItemModel;
class QTableView;
class QTimer;

namespace quantem::ui {

/// The ranking window: fits every model of the chosen group size on the main window's samples,
/// sample count and power initial value, off the window's thread, and shows the ranked table.
/// "Use this model" (or a double-click) fits the chosen row's model in the main window as its
/// menus would. When the main window's inputs or the group size are no longer those the rows were
/// ranked for, a notice says which and offers to rank again.
class RankingWindow : public QDialog
{
    Q_OBJECT

public:
    explicit RankingWindow(CommandRunner& runner, QWidget* parent = nullptr);
    ~RankingWindow() override;

    /// Shows the window with the main window's current counts.
    void openWindow();
    /// Starts a ranking of the chosen group size; a running one is stopped first.
    void startRanking();
    /// Asks the running ranking to stop; the finished rows are shown when it has.
    void cancelRanking();
    /// Fits the model of the selected row in the main window.
    void useSelectedModel();
    bool isRanking() const noexcept { return m_ranking != nullptr; }
    /// What "Use this model" does on the row of a saved equation: it is handed the equation and
    /// its fitted values.
    using EquationUser
        = std::function<void(const equation::EquationEntry&, const std::vector<double>&)>;
    void setEquationUser(EquationUser use) { m_useEquation = std::move(use); }

protected:
    void closeEvent(QCloseEvent* event) override;
    /// Coming back to the window checks the inputs again: data.qtm may have been edited.
    void changeEvent(QEvent* event) override;

private:
    void buildTable();
    void buildStaleNotice();
    /// Shows the main window's counts and whether the rows are still theirs.
    void renderCounts();
    void renderStale(const ranking::RankingInput& current);
    void pollRanking();
    void showRows();
    void useModelAt(const QModelIndex& index);
    void renderButtons();

    CommandRunner& m_runner;
    std::unique_ptr<ranking::BackgroundRanking> m_ranking;
    ranking::RankingInput m_input; // of the ranking shown or running
    std::optional<int> m_rankedGroupSize; // no value before the first ranking
    bool m_stale = false;
    std::vector<ranking::RankRow> m_rows; // in rank order
    std::vector<equation::EquationEntry> m_equations; // the saved equations ranked
    EquationUser m_useEquation;
    QSpinBox* m_groupSize = nullptr;
    QLabel* m_samples = nullptr;
    QLabel* m_power = nullptr;
    QPushButton* m_rank = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_useModel = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_state = nullptr;
    QWidget* m_staleNotice = nullptr;
    QLabel* m_staleText = nullptr;
    QPushButton* m_rankAgain = nullptr;
    QTableView* m_table = nullptr;
    QStandardItemModel* m_model = nullptr;
    QSortFilterProxyModel* m_sorted = nullptr;
    QTimer* m_poll = nullptr;
};

/// The ranking window of the main window, made on first use, shown with the current counts.
RankingWindow* openRankingWindow(CommandRunner& runner, QWidget* mainWindow);

} // namespace quantem::ui
