#pragma once

#include "chart/ChartExport.h"
#include "chart/ChartWindow.h"
#include "chart/qt/QtCanvas.h"
#include "core/Session.h"

#include <QMainWindow>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPainter;
class QPrinter;
class QRadioButton;

namespace quantem::ui {

/// Draws a window image on a page: as large as the page allows, keeping its proportions, from
/// the page's top-left corner.
void paintWindowPage(QPainter& painter, const QImage& window, const QRect& page);

/// The chart window Form2: the drawing surface with the origin label and the picture box, the
/// "X Axis Setting", "Show Y Axis" and "Coordinate Setting" frames, the fixed-value fields, the
/// buttons and the menus. It renders the Form2 state and turns each click and edit into one
/// chart command. It is also the desktop's side of capturing, saving and printing the chart.
class ChartWindowView : public QMainWindow, public chart::ChartExport
{
    Q_OBJECT

public:
    /// Runs a command through the program's fault trap and refreshes every view.
    using Runner = std::function<void(const std::function<void()>&)>;

    ChartWindowView(core::Session& session, Runner run, chart::MainWindowHooks hooks,
        QWidget* parent = nullptr);

    /// Renders the Form2 state: shown while it is visible, centred on the screen when it loads.
    void render();

    QtCanvas& canvas() noexcept { return m_canvas; }

    core::Picture captureWindow() override;
    bool savePicture(const core::Picture& picture, const std::filesystem::path& path) override;
    bool exportChart(const std::filesystem::path& path, chart::ExportFormat format) override;
    PrintOutcome printWindow() override;
    void messageBox(const std::string& text) override;

    /// Prints the window's image on the printer as it is set up. Returns false when the printer
    /// cannot be painted on.
    bool printTo(QPrinter& printer);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class Surface;

    void buildMenus();
    QWidget* buildControls();
    QAction* action(const char* name, const char* caption, std::function<void()> body);
    void run(const std::function<void()>& command);
    void placeOnSurface();
    void renderPicture();
    void centreOnScreen();

    core::Session& m_session;
    Runner m_run;
    chart::MainWindowHooks m_hooks;
    QtCanvas m_canvas;
    Surface* m_surface = nullptr;
    QLabel* m_label7 = nullptr;
    QLabel* m_picture1 = nullptr;
    QLabel* m_label5 = nullptr;
    std::array<QRadioButton*, 7> m_options {}; // Option1..Option6 at their numbers
    std::array<QLabel*, 4> m_fixedLabels {}; // Label1..Label3
    std::array<QLineEdit*, 4> m_fixedTexts {}; // Text1..Text3
    std::optional<core::Picture> m_pictureShown;
    bool m_placed = false;
    unsigned m_frontRequestsSeen = 0;
};

} // namespace quantem::ui
