#include "chart/SamplePlot.h"

#include "core/SampleData.h"
#include "chart/ChartAxes.h"
#include "chart/ChartState.h"
#include "core/Fault.h"
#include "core/NumberText.h"
#include "results/CurveSampling.h"

#include <optional>

namespace quantem::chart {

using core::Fault;
using core::FaultCode;
using core::MessageWindowId;

namespace {

    enum class Mark
    {
        Points,
        Polyline
    };

    struct Range
    {
        double minX = 0.0, maxX = 0.0, minY = 0.0, maxY = 0.0;
    };

    // The scaling pass: the range of n groups (x, y), the first group setting all four bounds.
    // A fault ends the pass where it stands; the bounds found so far stay in range.
    void scanRange(const core::SampleData& samples, double n, Range& range)
    {
        core::RecordReader in = samples.reader();
        for (double i = 1.0; i <= n; i += 1.0) {
            const double x = in.readNumber();
            const double y = in.readNumber();
            if (i == 1.0) {
                range = Range { x, x, y, y };
                continue;
            }
            if (x < range.minX)
                range.minX = x;
            if (x > range.maxX)
                range.maxX = x;
            if (y < range.minY)
                range.minY = y;
            if (y > range.maxY)
                range.maxY = y;
        }
    }

    void plotSamples(core::Session& session, core::Canvas& canvas, Mark mark)
    {
        core::Form2& form2 = session.form2;
        const core::ModelId model = chartModel(session.store);
        if (model == core::kMultipleLinearModel) {
            session.messages.show(
                MessageWindowId::Form9, std::string("Can't draw five  Dimensional picture."));
            return;
        }
        if (core::hasThreeNumberGroups(model) || core::hasFourNumberGroups(model)) {
            session.messages.show(
                MessageWindowId::Form6, std::string("Can't draw Point or line of picture."));
            return;
        }

        const std::optional<core::SampleData> samples
            = core::SampleData::loadIfPresent(session.store);
        if (!samples) {
            session.messages.show(MessageWindowId::Form5, std::string(core::kNoDataText));
            return;
        }
        const double n = core::val(session.form1.Text2);

        Range range;
        try {
            scanRange(*samples, n, range);
        } catch (const Fault& fault) {
            if (fault.code() == FaultCode::InputPastEndOfFile) {
                // Too few groups: said at once, and what was read is still drawn.
                session.messages.show(MessageWindowId::Form5);
            } else if (fault.code() == FaultCode::TypeMismatch) {
                session.messages.show(MessageWindowId::Form5,
                    std::string(mark == Mark::Points ? "Have no regression analysis !"
                                                     : "Not regression analysis !"));
                return;
            } else {
                throw;
            }
        }

        drawAxes(form2, canvas, range.minX, range.minY, range.maxX, range.maxY);

        // The drawing pass goes on past faults; only an overflow is told at its end.
        std::optional<FaultCode> lastFault;
        int count = 0;
        core::RecordReader in = samples->reader();
        for (double i = 1.0; i <= n; i += 1.0) {
            try {
                const double x = in.readNumber();
                const double y = in.readNumber();
                const double px = results::plotX(x, range.minX, range.maxX);
                const double py = results::plotY(y, range.minY, range.maxY);
                if (mark == Mark::Points) {
                    canvas.point(px, py, kPointColour, kPointWidth);
                    continue;
                }
                ++count;
                if (count > 1)
                    canvas.line(core::val(form2.Text5), core::val(form2.Text6), px, py,
                        kPolylineColour, kLineWidth);
                form2.Text5 = core::doubleText(px);
                form2.Text6 = core::doubleText(py);
            } catch (const Fault& fault) {
                lastFault = fault.code();
                // Past the end every further read fails alike: nothing more to draw.
                if (fault.code() == FaultCode::InputPastEndOfFile)
                    break;
            }
        }
        if (lastFault == FaultCode::Overflow)
            session.messages.show(MessageWindowId::Form5);
    }

} // namespace

void drawPoints(core::Session& session, core::Canvas& canvas)
{
    plotSamples(session, canvas, Mark::Points);
}

void drawPolyline(core::Session& session, core::Canvas& canvas)
{
    plotSamples(session, canvas, Mark::Polyline);
}

std::string yCaption(int arrangement)
{
    switch (arrangement) {
    case 1:
        return "First Dimensional data is Y";
    case 2:
        return "Secondly  Dimensional data is Y";
    case 5:
    case 6:
        return "Secondly Dimensional data is Y";
    case 7:
    case 8:
        return "Third imensional data is Y";
    case 15:
    case 16:
    case 17:
        return "Third Dimensional data is Y";
    case 18:
    case 19:
    case 20:
        return "Four Dimensional data is Y";
    default:
        return "";
    }
}

void setYCaption(core::Session& session)
{
    core::Form2& form2 = session.form2;
    ensureLoaded(form2);
    const int arrangement = defaultArrangement(chartModel(session.store));
    hideFixedValues(form2);
    form2.Label5 = yCaption(arrangement);
    // Every column before the y column can go on the X axis.
    const int yColumn = groupSizeOf(arrangement);
    for (int column = 1; column <= 3; ++column)
        setXOptionVisible(form2, column, column < yColumn);
}

} // namespace quantem::chart
