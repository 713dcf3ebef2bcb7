#include "cli/qt/OffscreenToolkit.h"

namespace quantem::cli {

std::unique_ptr<QGuiApplication> startOffscreenToolkit()
{
    if (QCoreApplication::instance() != nullptr)
        return nullptr;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quantem-fit";
    static char* argv[] = { name, nullptr };
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace quantem::cli
