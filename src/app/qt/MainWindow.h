#pragma once

#include "app/Commands.h"
#include "app/qt/CommandRunner.h"
#include "core/WindowStates.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quantem::ui {

/// The main window Form1: the input row, the result panels, the formula picture, the report
/// box, the menus, the toolbar and the status bar. It renders the Form1 state after every
/// command and turns each menu item, button and edit into one command.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(CommandRunner& runner, QWidget* parent = nullptr);

    /// Renders the whole Form1 state.
    void render();
    /// Renders and repaints, at once and without processing events, what a long run changes:
    /// the state line, the status panels and the run indicator.
    void repaintProgress(const core::Form1& form1);

    /// The calculator window, shown when the model-count command finds a result.
    void setCalculatorOpener(std::function<void()> open) { m_openCalculator = std::move(open); }
    /// The chart window's command, reached from "Draw " and the toolbar's qx.
    void setDrawCommand(std::function<void()> draw) { m_draw = std::move(draw); }
    /// The fit details window, reached from its menu-bar entry and toolbar key.
    void setDetailsOpener(std::function<void()> open) { m_openDetails = std::move(open); }
    /// The ranking of every model ("Fit all models") and the equation window: windows of the
    /// rooms above this one, which the program hands over.
    void setRankingOpener(std::function<void()> open) { m_openRanking = std::move(open); }
    void setEquationOpener(std::function<void()> open) { m_openEquation = std::move(open); }
    /// Told after every regression that ran to its end, on the window's thread, how many
    /// seconds it took.
    void setFitObserver(std::function<void(double)> observe) { m_fitObserver = std::move(observe); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildCentre();
    void buildMenus();
    void buildMenuKeys();
    void buildToolBar();
    void buildStatusBar();
    QAction* command(const char* name, const char* caption, std::function<void()> run);
    QAction* longCommand(const char* name, const char* caption, std::function<void()> run);
    void run(const std::function<void()>& command);
    void buildStopControls(QWidget* centre);
    void setRunning(bool running);
    void renderProgress(const core::Form1& form1);
    void centreOnScreen();
    void regress(app::Route route);

    CommandRunner& m_runner;
    std::function<void()> m_openCalculator;
    std::function<void()> m_draw;
    std::function<void()> m_openDetails;
    std::function<void()> m_openRanking;
    std::function<void()> m_openEquation;
    std::function<void(double)> m_fitObserver;
    std::optional<double> m_fitSeconds; // set by a regression's run, read when it has ended

    QLineEdit* m_text[8] {}; // Text1..Text7 at their numbers
    QPlainTextEdit* m_report = nullptr; // Text5
    std::string m_reportShown;
    std::array<QLabel*, 23> m_values {}; // value labels at their numbers
    QLabel* m_label1 = nullptr;
    QLabel* m_label9 = nullptr;
    QLabel* m_label10 = nullptr;
    QLabel* m_label24 = nullptr;
    QLabel* m_picture1 = nullptr;
    std::string m_pictureShown;
    QWidget* m_picture2 = nullptr;
    QGroupBox* m_frame1 = nullptr;
    std::array<QLabel*, 7> m_panels {};
    std::map<core::ModelId, QAction*> m_modelActions;
    QPushButton* m_stop = nullptr;
    bool m_closeAfterRun = false;
};

} // namespace quantem::ui
