#include "cli/qt/PlotFile.h"

#include "app/Commands.h"
#include "chart/ChartWindow.h"
#include "chart/qt/ChartFile.h"
#include "chart/qt/QtCanvas.h"
#include "cli/qt/OffscreenToolkit.h"
#include "core/SamplesReadStore.h"

#include <QFont>

#include <memory>

namespace quantem::cli {

namespace {

    // The drawing surface of the chart window, in twips, and the size of its printed texts.
    constexpr int kSurfaceWidthTwips = 12450;
    constexpr int kSurfaceHeightTwips = 8400;
    constexpr double kTextPoints = 8.0;

    /// Gives a session, while it lives, a store over the same files that serves only the
    /// groups of the fit from the sample file (core::withSamplesRead).
    class ScratchSwap
    {
    public:
        explicit ScratchSwap(core::Session& session)
            : m_session(session)
            , m_files(session.store)
        {
            if (const std::optional<std::size_t> items
                = core::itemsOfShownFit(session.store, session.form1))
                session.store = core::withSamplesRead(session.store, *items);
        }
        ~ScratchSwap() { m_session.store = m_files; }
        ScratchSwap(const ScratchSwap&) = delete;
        ScratchSwap& operator=(const ScratchSwap&) = delete;

    private:
        core::Session& m_session;
        core::ScratchStore m_files;
    };

} // namespace

std::string writePlotFile(core::Session& session, const PlotRequest& request)
{
    const std::optional<chart::ExportFormat> format = chart::exportFormatOf(request.file);
    if (!format)
        return "the chart is written as .png, .svg or .pdf, not " + request.file.string();
    if (const std::optional<std::string> obstacle = offscreenToolkitObstacle())
        return "the chart was not written to " + request.file.string() + ": " + *obstacle;
    const std::unique_ptr<QGuiApplication> toolkit = startOffscreenToolkit();

    ui::QtCanvas canvas(kSurfaceWidthTwips, kSurfaceHeightTwips);
    QFont font;
    font.setPointSizeF(kTextPoints);
    canvas.setFont(font);
    {
        // The chart reads the sample file from its start: it gets the groups of the fit, read
        // once, and nothing past them, however long the file.
        const ScratchSwap bounded(session);
        app::runCommand(session, [&] { chart::plotFit(session, canvas); });
    }
    const core::ExportOutcome written
        = ui::writeChartFile(canvas.drawing(), QString::fromStdString(session.form2.Label7),
            request.file, *format, QSize(request.width, request.height));
    if (!written)
        return "the chart could not be written to " + request.file.string() + ": "
            + written.failure;
    return {};
}

} // namespace quantem::cli
