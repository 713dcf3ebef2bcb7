#pragma once

#include "app/qt/CommandRunner.h"
#include "equation/BackgroundEquationFit.h"
#include "equation/EquationEntry.h"
#include "equation/qt/EquationResultsTabs.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTimer;

namespace quantem::ui {

class EquationLibraryBar;
class ParameterTable;

/// The equation window: a formula of the user's own (typed, or taken from the library of saved
/// equations and templates) fitted to the samples of data.qtm beside the window's thread, with
/// its parameters, statistics, correlations, residuals and plot. It reads the samples and the
/// library only: the main window, its report and the scratch files stay as they are.
class EquationWindow : public QWidget
{
    Q_OBJECT

public:
    explicit EquationWindow(CommandRunner& runner, QWidget* parent = nullptr);
    ~EquationWindow() override;

    void openWindow();
    /// Shows the entry with its parameters starting from values (the formula's order), and fits.
    void openWith(const equation::EquationEntry& entry, const std::vector<double>& values);

    /// Starts a fit of the formula as typed; false when it cannot start (why in the state line).
    bool startFit();
    /// Asks the running fit to stop; the fit shown before stays.
    void cancelFit();
    bool isFitting() const noexcept { return m_fit != nullptr; }

    const std::shared_ptr<const ShownEquationFit>& shownFit() const noexcept { return m_shown; }
    /// The tables of the fit shown, tab-separated.
    std::string tablesText() const;
    /// Saves the tables of the fit shown as CSV; why not, or empty.
    std::string saveCsv(const std::string& path) const;
    /// Saves the formula and its inputs under name in the library; why not, or empty.
    std::string saveToLibrary(const std::string& name);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildInputs();
    void buildResults();
    void formulaEdited();
    void entryPicked(const equation::EquationEntry& entry, bool isTemplate);
    void pollFit();
    void showFit(std::shared_ptr<const ShownEquationFit> fit);
    void renderButtons();
    void setState(const QString& text);
    std::optional<equation::EquationData> samplesFor(
        const equation::Tape& tape, equation::Weighting weighting, std::string& problem) const;
    equation::Weighting weighting() const;
    void copyTables() const;
    void askAndSaveCsv();
    void askAndSave();

    CommandRunner& m_runner;
    std::optional<equation::Tape> m_tape; // of the formula as typed, when it parses
    std::unique_ptr<equation::BackgroundEquationFit> m_fit;
    std::shared_ptr<const ShownEquationFit> m_shown;

    EquationLibraryBar* m_library = nullptr;
    QLineEdit* m_formula = nullptr;
    QLabel* m_formulaError = nullptr;
    QLabel* m_layout = nullptr;
    QSpinBox* m_groups = nullptr;
    QComboBox* m_weights = nullptr;
    ParameterTable* m_parameters = nullptr;
    QPushButton* m_fitButton = nullptr;
    QPushButton* m_cancel = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_state = nullptr;
    QLabel* m_stopReason = nullptr;
    EquationResultsTabs* m_tabs = nullptr;
    QPushButton* m_useFitted = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_saveCsv = nullptr;
    QTimer* m_poll = nullptr;
};

/// The equation window of the main window, made on first use, and shown.
EquationWindow* openEquationWindow(CommandRunner& runner, QWidget* mainWindow);

} // namespace quantem::ui
