#include "cli/qt/OffscreenToolkit.h"

#include <cstdio>

namespace quantem::cli {

namespace {

    /// Qt's own remarks on the session it runs in ("XDG_RUNTIME_DIR not set", fonts) say nothing
    /// about the user's chart and would be read as its failure; a chart that is not written is
    /// told by the program itself. Only a fatal message, which ends the program, is printed.
    void dropToolkitRemarks(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type == QtFatalMsg)
            std::fprintf(stderr, "quantem-fit: %s\n", message.toLocal8Bit().constData());
    }

} // namespace

std::unique_ptr<QGuiApplication> startOffscreenToolkit()
{
    if (QCoreApplication::instance() != nullptr)
        return nullptr;
    qInstallMessageHandler(dropToolkitRemarks);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quantem-fit";
    static char* argv[] = { name, nullptr };
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace quantem::cli
