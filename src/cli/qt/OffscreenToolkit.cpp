#include "cli/qt/OffscreenToolkit.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace quantem::cli {

namespace {

    /// Qt's own remarks on the session it runs in ("XDG_RUNTIME_DIR not set", fonts) say nothing
    /// about the user's chart and would be read as its failure; a chart that is not written is
    /// told by the program itself. A fatal message, after which Qt would abort the program and
    /// leave a core, ends it here with the status of a chart not written, the results printed.
    void dropToolkitRemarks(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type != QtFatalMsg)
            return;
        std::cout.flush();
        std::fflush(stdout);
        std::fprintf(stderr, "quantem-fit: --plot: no chart was written, the toolkit failed: %s\n",
            message.toLocal8Bit().constData());
        std::fflush(stderr);
        std::_Exit(1);
    }

    // The descriptors the offscreen toolkit opens for itself as it starts (its event loop's
    // wake-up and its platform plugin), found by trying.
    constexpr int kToolkitDescriptors = 2;

} // namespace

std::optional<std::string> offscreenToolkitObstacle()
{
    int opened[kToolkitDescriptors];
    int count = 0;
    bool exhausted = false;
    for (; count < kToolkitDescriptors; ++count) {
        opened[count] = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (opened[count] < 0) {
            exhausted = errno == EMFILE || errno == ENFILE;
            break;
        }
    }
    for (int i = 0; i < count; ++i)
        ::close(opened[i]);
    if (exhausted)
        return "too few file descriptors are left to start the toolkit that draws it: raise the "
               "limit of open files (ulimit -n) and run again";
    return std::nullopt;
}

std::unique_ptr<QGuiApplication> startOffscreenToolkit()
{
    if (QCoreApplication::instance() != nullptr)
        return nullptr;
    std::cout.flush();
    qInstallMessageHandler(dropToolkitRemarks);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quantem-fit";
    static char* argv[] = { name, nullptr };
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace quantem::cli
