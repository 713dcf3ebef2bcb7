#include "chart/ChartWindow.h"

#include "chart/ChartState.h"
#include "chart/SamplePlot.h"
#include "core/ExportFile.h"
#include "core/Fault.h"
#include "core/InputReasons.h"
#include "core/NumberText.h"
#include "core/Record.h"
#include "core/SampleData.h"
#include "results/CurveSampling.h"
#include "results/EvaluateModel.h"

#include <array>
#include <optional>

namespace quantem::chart {

using core::Fault;
using core::FaultCode;
using core::MessageWindowId;
using core::Session;

namespace {

    bool noReport(const Session& session) { return session.form1.Text5.empty(); }

    void askForRegression(Session& session)
    {
        session.messages.show(MessageWindowId::Form9, std::string(kDoRegressionFirstText));
    }

    // The minimum and maximum of every column of n groups; a column the groups do not have
    // stays at 0.
    struct ColumnRanges
    {
        std::array<double, 4> minimum {};
        std::array<double, 4> maximum {};
    };

    ColumnRanges scanColumns(const core::SampleData& samples, double n, int groupSize)
    {
        ColumnRanges ranges;
        core::RecordReader in = samples.reader();
        for (double i = 1.0; i <= n; i += 1.0) {
            for (std::size_t column = 0; column < static_cast<std::size_t>(groupSize); ++column) {
                const double value = in.readNumber();
                if (i == 1.0 || value < ranges.minimum[column])
                    ranges.minimum[column] = value;
                if (i == 1.0 || value > ranges.maximum[column])
                    ranges.maximum[column] = value;
            }
        }
        return ranges;
    }

    // The model variable that the X axis carries: two-number models always plot x1; the others
    // plot the variable of the chosen column as far as the model has it.
    results::PlottedVariable plottedVariable(core::ModelId model, const core::Form2& form2)
    {
        if (core::hasTwoNumberGroups(model))
            return results::PlottedVariable::X1;
        if (form2.Option1)
            return results::PlottedVariable::X1;
        if (form2.Option2)
            return results::PlottedVariable::X2;
        if (form2.Option3 && core::hasFourNumberGroups(model))
            return results::PlottedVariable::X3;
        return results::PlottedVariable::None;
    }

    // The whole text is one number, blanks and tabs around it allowed.
    bool isWholeNumberText(const std::string& text)
    {
        const std::size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos)
            return false;
        const std::size_t last = text.find_last_not_of(" \t");
        double value = 0.0;
        try {
            return core::parseNumber(std::string_view(text).substr(first, last - first + 1), value);
        } catch (const Fault&) {
            return false; // beyond the range of numbers
        }
    }

    // The first shown fixed-value box whose text is not a number, told as the window's status;
    // false when every shown box holds a number.
    bool fixedValuesAreNumbers(core::Form2& form2)
    {
        static constexpr const char* kCaptions[] = { "Input First dimensional data:",
            "Input second dimensional data:", "Input third dimensional data:" };
        const bool shown[] = { form2.Text1Visible, form2.Text2Visible, form2.Text3Visible };
        for (int column = 1; column <= 3; ++column) {
            const std::string& text = fixedValueText(form2, column);
            if (!shown[column - 1] || isWholeNumberText(text))
                continue;
            form2.StatusBar
                = std::string(kCaptions[column - 1]) + " \"" + text + "\" is not a number.";
            return false;
        }
        return true;
    }

    void drawCurve(core::Canvas& canvas, const std::vector<results::TwipPoint>& points)
    {
        // The first point only starts the line.
        for (std::size_t i = 1; i < points.size(); ++i)
            canvas.line(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, kCurveColour,
                kLineWidth);
    }

    // A link or anything but a regular file at the chosen name is refused before anything is
    // drawn; the writer refuses it too, should one be planted in between.
    bool refuseDestination(Session& session, const std::filesystem::path& path)
    {
        const std::string refusal = core::exportDestinationRefusal(path);
        if (!refusal.empty())
            core::refuseInput(session, MessageWindowId::Form5, std::string(kChartNotWrittenText),
                "The chart was not written to " + path.string() + ": " + refusal + ".");
        return !refusal.empty();
    }

} // namespace

void openChartWindow(Session& session)
{
    core::Form2& form2 = session.form2;
    ensureLoaded(form2);
    hideFixedValues(form2);
    for (int column = 1; column <= 3; ++column)
        setXOptionVisible(form2, column, true);
    form2.visible = true;
    ++form2.frontRequests;
}

void drawPointsCommand(Session& session, core::Canvas& canvas)
{
    ensureLoaded(session.form2);
    if (noReport(session)) {
        askForRegression(session);
        return;
    }
    session.form2.Picture1Visible = false;
    drawPoints(session, canvas);
}

void drawLineCommand(Session& session, core::Canvas& canvas)
{
    ensureLoaded(session.form2);
    if (noReport(session)) {
        askForRegression(session);
        return;
    }
    session.form2.Picture1Visible = false;
    drawPolyline(session, canvas);
}

void drawModelCommand(Session& session, core::Canvas& canvas)
{
    core::Form2& form2 = session.form2;
    ensureLoaded(form2);
    form2.Picture1Visible = false;
    form2.StatusBar.clear();
    const core::ModelId model = chartModel(session.store);
    if (model == core::kMultipleLinearModel) {
        session.messages.show(
            MessageWindowId::Form9, std::string("Can't draw five Dimensional picture."));
        return;
    }
    if (noReport(session)) {
        askForRegression(session);
        return;
    }
    const int column = chosenXColumn(form2);
    if (column == 0) {
        session.messages.show(MessageWindowId::Form9);
        return;
    }
    // A held value that is not a number draws no curve rather than one for some other value.
    if (!fixedValuesAreNumbers(form2))
        return;

    const int groupSize = groupSizeOf(defaultArrangement(model));
    const std::optional<core::SampleData> samples = core::SampleData::loadIfPresent(session.store);
    if (!samples) {
        session.messages.show(MessageWindowId::Form5, std::string(core::kNoDataText));
        return;
    }
    ColumnRanges ranges;
    try {
        ranges = scanColumns(*samples, core::val(session.form1.Text2), groupSize);
    } catch (const Fault& fault) {
        if (fault.code() != FaultCode::InputPastEndOfFile)
            throw;
        session.messages.show(MessageWindowId::Form5);
        return;
    }

    const auto x = static_cast<std::size_t>(column - 1);
    const auto y = static_cast<std::size_t>(groupSize - 1);
    const results::PlotRange range { ranges.minimum[x], ranges.minimum[y], ranges.maximum[x],
        ranges.maximum[y] };
    const results::HeldValues held { core::val(form2.Text1), core::val(form2.Text2),
        core::val(form2.Text3) };

    if (model >= 1 && model <= 50) {
        drawAxes(form2, canvas, range.xMin, range.yMin, range.xMax, range.yMax);
        const results::CoefficientSet coefficients
            = results::readPublishedCoefficients(session.store, model);
        const results::SampledCurve curve = results::sampleModelCurve(
            model, coefficients, range, plottedVariable(model, form2), held);
        drawCurve(canvas, curve.points);
        if (curve.failure)
            results::reportCurveFailure(
                session.messages, results::CurveKind::Model, *curve.failure);
    } else if (model == core::kPolynomialModel) {
        drawAxes(form2, canvas, range.xMin, range.yMin, range.xMax, range.yMax);
        const std::vector<double> coefficients
            = results::readPolynomialCoefficients(session.store, session.form1);
        // The polynomial curve leaves the first two X options off: the next model drawing asks
        // for the X axis again.
        form2.Option1 = false;
        form2.Option2 = false;
        const results::SampledCurve curve = results::samplePolynomialCurve(coefficients, range);
        drawCurve(canvas, curve.points);
        if (curve.failure)
            results::reportCurveFailure(
                session.messages, results::CurveKind::Polynomial, *curve.failure);
    }
}

void settingCommand(Session& session)
{
    ensureLoaded(session.form2);
    session.form2.Picture1Visible = false;
    setYCaption(session);
}

void resettingCommand(Session& session, core::Canvas& canvas)
{
    core::Form2& form2 = session.form2;
    ensureLoaded(form2);
    form2.Picture1Visible = false;
    canvas.clear();
    form2.Label7.clear();
    hideFixedValues(form2);
    for (int column = 1; column <= 3; ++column)
        setXOptionVisible(form2, column, true);
}

void clearCommand(Session& session, core::Canvas& canvas)
{
    ensureLoaded(session.form2);
    session.form2.Picture1Visible = false;
    canvas.clear();
    session.form2.Label7.clear();
}

void chooseAxisStyle(Session& session, core::Canvas& canvas, AxisStyle style)
{
    core::Form2& form2 = session.form2;
    ensureLoaded(form2);
    form2.Option4 = style == AxisStyle::Grid;
    form2.Option5 = style == AxisStyle::Scale;
    form2.Option6 = style == AxisStyle::Plain;
    form2.Label7.clear();
    canvas.clear();
}

void chooseXColumn(Session& session, int column)
{
    core::Form2& form2 = session.form2;
    ensureLoaded(form2);
    chooseXOption(form2, column);
    const int groupSize = groupSizeOf(defaultArrangement(chartModel(session.store)));
    // With one variable there is nothing to hold.
    if (groupSize == 2)
        return;
    for (int other = 1; other < groupSize; ++other) {
        if (other != column)
            setXOptionVisible(form2, other, false);
    }
    // The last column of a group is y; every other column off the X axis needs a fixed value.
    for (int other = 1; other <= 3; ++other)
        setFixedValueVisible(form2, other, other < groupSize && other != column);
}

void editFixedValue(Session& session, int column, const std::string& text)
{
    fixedValueText(session.form2, column) = text;
}

void inputDataCommand(Session& session, const MainWindowHooks& hooks)
{
    core::Form1& form1 = session.form1;
    // A report waiting to be saved is asked about before anything is emptied: the main window's
    // data input shows the save prompt, whose buttons clear and start the data program.
    if (!form1.Text5.empty()) {
        if (hooks.dataInput)
            hooks.dataInput();
        return;
    }
    form1.Text1.clear();
    if (hooks.setSampleCountText)
        hooks.setSampleCountText("");
    else
        form1.Text2.clear();
    form1.Text3.clear();
    form1.Text4.clear();
    form1.Text5.clear();
    form1.Label10 = "State of regression analysis ";
    for (int number = 11; number <= 16; ++number)
        form1.label(number) = "1";
    const core::ScratchStore& store = session.store;
    store.writeRecord(core::ScratchFile::Jc, core::Record { 9.85E+13 });
    store.writeRecord(core::ScratchFile::Culi, core::Record { 0.0, 0.0, 0.0, 0.0, 0.0 });
    store.writeRecord(core::ScratchFile::Jb, core::Record { 1.0 });
    if (hooks.dataInput)
        hooks.dataInput();
}

void closeChartWindow(Session& session, core::Canvas& canvas)
{
    unload(session.form2);
    canvas.clear();
}

void openChartHelp(Session& session)
{
    if (session.shell == nullptr || !session.shell->openPage(session.addresses.help))
        session.form1.StatusBar1[0]
            = "The help page could not be opened: " + session.addresses.help;
}

void cutChart(Session& session, ChartExport& exporter)
{
    core::Form2& form2 = session.form2;
    ensureLoaded(form2);
    form2.Picture1Visible = true;
    form2.Picture1 = exporter.captureWindow();
}

void saveChart(Session& session, ChartExport& exporter)
{
    core::Form2& form2 = session.form2;
    ensureLoaded(form2);
    // With nothing cut there is nothing to save: say so before asking for a name, and leave
    // the drawing in view instead of covering it with an empty picture box.
    if (!form2.Picture1) {
        session.messages.show(MessageWindowId::Form5, std::string(kNoCutChartText));
        return;
    }
    form2.Picture1Visible = true;
    if (session.questions == nullptr)
        return;
    std::filesystem::path path = session.questions->saveFileName(kBitmapFilter, kBitmapExtension);
    if (path.empty())
        return;
    if (!path.has_extension())
        path += kBitmapExtension;
    if (refuseDestination(session, path))
        return;
    if (!exporter.savePicture(*form2.Picture1, path))
        session.messages.show(MessageWindowId::Form5, std::string(kChartNotWrittenText));
}

void exportChartCommand(Session& session, ChartExport& exporter)
{
    ensureLoaded(session.form2);
    if (session.questions == nullptr)
        return;
    std::filesystem::path path = session.questions->saveFileName(kExportFilter, kExportExtension);
    if (path.empty())
        return;
    if (!path.has_extension())
        path += kExportExtension;
    const std::optional<ExportFormat> format = exportFormatOf(path);
    if (!format) {
        core::refuseInput(session, MessageWindowId::Form5, std::string(kChartNotWrittenText),
            "A chart is exported as .png, .svg or .pdf; \"" + path.filename().string()
                + "\" names none of them.");
        return;
    }
    if (refuseDestination(session, path))
        return;
    if (!exporter.exportChart(path, *format))
        session.messages.show(MessageWindowId::Form5, std::string(kChartNotWrittenText));
}

void plotFit(Session& session, core::Canvas& canvas)
{
    core::Form2& form2 = session.form2;
    ensureLoaded(form2);
    form2.Option4 = true;
    form2.Option5 = false;
    form2.Option6 = false;
    chooseXColumn(session, 1);
    canvas.clear();
    drawPointsCommand(session, canvas);
    drawModelCommand(session, canvas);
}

void clearCutChart(Session& session)
{
    core::Form2& form2 = session.form2;
    ensureLoaded(form2);
    form2.Picture1Visible = true;
    form2.Picture1.reset();
}

void printChart(Session& session, ChartExport& exporter)
{
    ensureLoaded(session.form2);
    session.form2.Picture1Visible = false;
    if (exporter.printWindow() == ChartExport::PrintOutcome::Failed)
        exporter.messageBox(kPrintErrorText);
}

} // namespace quantem::chart
