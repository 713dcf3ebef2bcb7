#include "core/InstallRootPath.h"
#include "core/ScratchStore.h"
#include "core/TextOnlyArguments.h"
#include "core/qt/WindowGeometryKeeper.h"
#include "data_program/Prompts.h"
#include "data_program/ReportViewerWindow.h"
#include "data_program/SampleEditorWindow.h"
#include "data_program/StartMode.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <clocale>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

namespace {

// The install root: --root DIR, else the default place beside the user's files; made absolute
// once, so no later path depends on where the program runs. No value for an empty --root.
std::optional<std::filesystem::path> installRoot(
    const QCommandLineParser& parser, const QCommandLineOption& root)
{
    if (parser.isSet(root))
        return quantem::core::installRootFrom(parser.value(root).toStdString());
#ifdef Q_OS_WIN
    return std::filesystem::path(L"c:\\qorvel_hg");
#else
    return std::filesystem::path(QDir::homePath().toStdU16String()) / "qorvel_hg";
#endif
}

} // namespace

int main(int argc, char* argv[])
{
    // --help and --version print a text and end: they need no display.
    if (quantem::core::asksOnlyForText(argc, argv))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // The toolkit takes the user's locale; the program's numbers always use a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("quantem-data"));
    // Settings go to ~/.config/quantem/, beside those of the desktop program.
    QApplication::setOrganizationName(QStringLiteral("quantem"));
    QApplication::setApplicationVersion(QStringLiteral(QUANTEM_VERSION));
    // The desktop entry of the installed data program carries this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quantem.quantem.data"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Quantem's data program: edits data.qtm, or shows the data report."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption root(QStringLiteral("root"),
        QStringLiteral("The install root (default: ~/qorvel_hg)."), QStringLiteral("DIR"));
    parser.addOption(root);
    parser.addPositionalArgument(QStringLiteral("FILE"),
        QStringLiteral("A sample file to edit and save back to, in place of the root's data.qtm."),
        QStringLiteral("[FILE]"));
    parser.process(application);
    if (parser.positionalArguments().size() > 1) {
        std::cerr << "quantem-data: give one sample file at most\n"
                  << parser.helpText().toStdString();
        return 2;
    }

    const std::optional<std::filesystem::path> rootPath = installRoot(parser, root);
    if (!rootPath) {
        std::cerr << "quantem-data: " << quantem::core::kEmptyRootError << '\n'
                  << parser.helpText().toStdString();
        return 2;
    }
    const quantem::core::ScratchStore store(*rootPath);
    quantem::data::DialogPrompts prompts;
    std::unique_ptr<QWidget> window;
    // A file given by name is always edited; otherwise jb.sys says what the program is for.
    if (parser.positionalArguments().isEmpty()
        && quantem::data::startModeOf(store) == quantem::data::StartMode::ReportViewer)
        window = std::make_unique<quantem::data::ReportViewerWindow>(store);
    else {
        std::optional<std::filesystem::path> document;
        if (!parser.positionalArguments().isEmpty())
            document = std::filesystem::path(parser.positionalArguments().front().toStdU16String());
        window = std::make_unique<quantem::data::SampleEditorWindow>(store, prompts, document);
    }
    // Both windows come back with the size and place the user left them at.
    quantem::ui::keepWindowGeometry(
        { { QStringLiteral("SampleEditor"), quantem::ui::KeptGeometry::Whole },
            { QStringLiteral("ReportViewer"), quantem::ui::KeptGeometry::Whole } });
    window->show();
    return QApplication::exec();
}
