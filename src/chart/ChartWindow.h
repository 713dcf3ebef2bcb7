#pragma once

#include "chart/ChartAxes.h"
#include "chart/ChartExport.h"
#include "core/Canvas.h"
#include "core/Session.h"

#include <functional>
#include <string>

namespace quantem::chart {

/// Texts of the chart window's messages.
inline constexpr const char* kDoRegressionFirstText = "Please do regression the calculation.";
inline constexpr const char* kNoCutChartText = "  No cut chart!";
inline constexpr const char* kChartNotWrittenText = "The chart could not be written !";
inline constexpr const char* kPrintErrorText = "Print error !";

/// The save dialog's filter and default extension for cut charts.
inline constexpr const char* kBitmapFilter = "Bitmap Image (*.bmp)|*.bmp";
inline constexpr const char* kBitmapExtension = ".BMP";
/// The same for exported charts; the file name's extension chooses the format.
inline constexpr const char* kExportFilter
    = "PNG image (*.png)|*.png|SVG drawing (*.svg)|*.svg|PDF document (*.pdf)|*.pdf";
inline constexpr const char* kExportExtension = ".png";

/// The main window's own commands that the chart window's data input hands over to.
struct MainWindowHooks
{
    /// An edit of the main window's sample count Text2.
    std::function<void(const std::string&)> setSampleCountText;
    /// The main window's data input.
    std::function<void()> dataInput;
};

/// "Draw " of the main window: loads the chart window if needed (a fresh load with its initial
/// settings), hides the fixed-value labels and boxes, shows the three X options and shows it in
/// front of the other windows.
void openChartWindow(core::Session& session);

/// "DrawPoint " / "DrawPoint  ": with no report in the main window Form9 asks for a regression;
/// otherwise hides the cut chart and draws the samples as points.
void drawPointsCommand(core::Session& session, core::Canvas& canvas);
/// "DrawLine" / "DrawLine ": the same as a polyline.
void drawLineCommand(core::Session& session, core::Canvas& canvas);

/// "DrawModel" / "DrawModel ": scales the axes to the samples (the chosen X column against the
/// last column of the groups) and draws the fitted curve of models 1..50 (XB.sys) or 52 (hgb.sys),
/// the variables not on the X axis held at the values of Text1..Text3. Refuses model 51, a
/// missing report and a missing X column in Form9; a missing sample file shows "Have no data !",
/// a file with too few groups Form5, and nothing is drawn. Failures of the curve are told as
/// reportCurveFailure says; the segments drawn before stay. Faults reading the coefficients
/// propagate (the axes are drawn by then).
void drawModelCommand(core::Session& session, core::Canvas& canvas);

/// "Setting": hides the cut chart and sets the Y caption.
void settingCommand(core::Session& session);
/// "ReSetting": hides the cut chart, clears the drawing and the origin label, hides the
/// fixed-value labels and boxes and shows the three X options.
void resettingCommand(core::Session& session, core::Canvas& canvas);
/// "Clear ": hides the cut chart, clears the drawing and the origin label.
void clearCommand(core::Session& session, core::Canvas& canvas);

/// A click on an axis style option: the style is chosen for the next drawing, and the drawing
/// and the origin label are cleared.
void chooseAxisStyle(core::Session& session, core::Canvas& canvas, AxisStyle style);

/// A click on X option 1..3: chooses the X column and, for three- and four-number data, hides the
/// other X options and shows the fixed-value label and box of every column that is neither the
/// X column nor the y column. Reads xx.sys.
void chooseXColumn(core::Session& session, int column);

/// An edit of the fixed-value box Text1..Text3 of a column 1..3.
void editFixedValue(core::Session& session, int column, const std::string& text);

/// "InputData": with a report in the main window, only runs the main window's data input (which
/// asks whether to save it); otherwise empties the main window's Text1..Text5 (Text2 as an edit),
/// resets its state line and its k labels to "1", writes JC.sys 98500000000000, culi.sys five
/// zeros and jb.sys 1, then runs the main window's data input.
void inputDataCommand(core::Session& session, const MainWindowHooks& hooks);

/// "Close " / "Close" and the close box: unloads the window and wipes its drawing.
void closeChartWindow(core::Session& session, core::Canvas& canvas);

/// "Help": opens the help page.
void openChartHelp(core::Session& session);

/// "CutChart": shows the picture box and puts the captured window into it.
void cutChart(core::Session& session, ChartExport& exporter);
/// "SaveChart" / "SaveCupChart": shows the picture box, asks for a file name (".BMP" added when
/// the name has no extension) and saves the cut chart there as a bitmap. With no cut chart,
/// Form5 says "  No cut chart!" before any name is asked for and the drawing stays in view; a
/// cancelled dialog writes nothing.
void saveChart(core::Session& session, ChartExport& exporter);
/// "Export...": asks for a file name (".png" added when it has none) and writes the chart as
/// drawn to it as PNG, SVG or PDF by the name's extension. Another extension, or a file that
/// cannot be written, is told in Form5; a cancelled dialog writes nothing.
void exportChartCommand(core::Session& session, ChartExport& exporter);
/// The chart of the fit the main window shows, as "DrawPoint " then "DrawModel" draw it on grid
/// axes with the first column on the X axis, on a cleared canvas. Messages are shown as those
/// commands show them.
void plotFit(core::Session& session, core::Canvas& canvas);
/// "ClearCupChart": shows the picture box and empties it.
void clearCutChart(core::Session& session);
/// "Print": hides the picture box and prints the window; a failure shows "Print error !" in a
/// message box.
void printChart(core::Session& session, ChartExport& exporter);

} // namespace quantem::chart
