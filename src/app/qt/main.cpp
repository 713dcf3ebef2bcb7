#include "analysis/qt/FitDetailsWindow.h"
#include "app/AdoptSampleFile.h"
#include "app/Commands.h"
#include "app/InstallRoot.h"
#include "app/OtherStartSearches.h"
#include "app/PublishRefinedFit.h"
#include "app/qt/ApplicationIdentity.h"
#include "app/qt/CalculatorWindow.h"
#include "app/qt/CommandRunner.h"
#include "app/qt/FormulaPictures.h"
#include "app/qt/MainWindow.h"
#include "app/qt/MessageWindowViews.h"
#include "app/qt/ProgressRepaint.h"
#include "app/qt/QtQuestions.h"
#include "app/qt/QtShell.h"
#include "app/qt/SplashWindow.h"
#include "chart/qt/ChartWindowView.h"
#include "core/InstallRootPath.h"
#include "core/ProcessMemory.h"
#include "core/Session.h"
#include "core/TextOnlyArguments.h"
#include "core/qt/WindowGeometryKeeper.h"
#include "equation/qt/EquationWindow.h"
#include "ranking/ThreadAllowance.h"
#include "ranking/qt/RankingWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFont>
#include <QMessageBox>
#include <QStatusBar>

#include <oneapi/tbb/info.h>

#include <atomic>
#include <clocale>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

namespace {

std::filesystem::path defaultRoot()
{
    return std::filesystem::path(QDir::homePath().toStdString()) / "qorvel_hg";
}

} // namespace

int main(int argc, char* argv[])
{
    quantem::core::keepFreedMemory();
    // The thread library ends the program when the system refuses it a worker: it is held to the
    // threads the system gives now.
    const quantem::ranking::ThreadAllowance threads(tbb::info::default_concurrency());
    // --help and --version print a text and end: they need no display.
    if (quantem::core::asksOnlyForText(argc, argv))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // The toolkit takes the user's locale; the program's numbers always use a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    quantem::ui::setApplicationIdentity();
    QApplication::setApplicationVersion(QStringLiteral(QUANTEM_VERSION));
    // The desktop entry and the icons of the installed program carry this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quantem.quantem"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Quantem: curve fitting by least squares"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption rootOption(QStringLiteral("root"),
        QStringLiteral("Install root with the samples and scratch files (default ~/qorvel_hg)."),
        QStringLiteral("DIR"));
    parser.addOption(rootOption);
    const QCommandLineOption prepareOption(QStringLiteral("prepare-only"),
        QStringLiteral("Prepare the install root (pictures, help, sample data) and exit."));
    parser.addOption(prepareOption);
    parser.addPositionalArgument(QStringLiteral("FILE"),
        QStringLiteral("A sample file to fit: it becomes the root's data.qtm, the previous one "
                       "kept as data.qtm.bak."),
        QStringLiteral("[FILE]"));
    parser.process(application);
    if (parser.positionalArguments().size() > 1) {
        std::cerr << "quantem: give one sample file at most\n" << parser.helpText().toStdString();
        return 2;
    }
    // Made absolute once: every path built from the root, the help page's among them, is then
    // a file of this machine wherever the program runs.
    const std::optional<std::filesystem::path> givenRoot = quantem::core::installRootFrom(
        parser.isSet(rootOption) ? parser.value(rootOption).toStdString() : defaultRoot().string());
    if (!givenRoot) {
        std::cerr << "quantem: " << quantem::core::kEmptyRootError << '\n'
                  << parser.helpText().toStdString();
        return 2;
    }
    const std::filesystem::path& root = *givenRoot;

    // The program's own texts include Chinese ones: keep a face with those characters behind
    // the usual one.
    QFont font = QApplication::font();
    font.setFamilies({ font.family(), QStringLiteral("WenQuanYi Micro Hei") });
    QApplication::setFont(font);

    const std::filesystem::path dataProgram
        = std::filesystem::path(QCoreApplication::applicationDirPath().toStdString())
        / "quantem-data";
    try {
        quantem::ui::QtFormulaPictureRenderer pictures;
        quantem::app::prepareInstallRoot(root, dataProgram, &pictures);
    } catch (const std::exception& error) {
        // Without its root the program has nowhere to keep its files.
        QMessageBox::critical(nullptr, QStringLiteral(" Quantem - QTM"),
            QStringLiteral("The install root %1 could not be prepared: %2")
                .arg(QString::fromStdString(root.string()), QString::fromUtf8(error.what())));
        return 1;
    }
    // A sample file opened from the desktop becomes the root's samples before the first fit.
    std::optional<quantem::app::AdoptedSamples> adopted;
    if (!parser.positionalArguments().isEmpty())
        adopted = quantem::app::adoptSampleFile(
            root, std::filesystem::path(parser.positionalArguments().front().toStdU16String()));
    if (parser.isSet(prepareOption))
        return 0;

    quantem::ui::QtShell shell;
    quantem::ui::QtQuestions questions;
    quantem::ui::ProgressRepaint progress;
    quantem::core::Session session(root);
    session.shell = &shell;
    session.questions = &questions;
    session.progress = &progress;

    quantem::ui::CommandRunner runner(session);
    QObject::connect(&runner, &quantem::ui::CommandRunner::runFinished, &runner,
        [&progress] { progress.discardPending(); });
    quantem::ui::MessageWindowViews messageWindows(runner);
    quantem::ui::ChartWindowView chartWindow(session,
        [&runner](const std::function<void()>& command) { runner.run(command); },
        { [&session](const std::string& text) { quantem::app::setSampleCountText(session, text); },
            [&session] { quantem::app::dataInput(session); } });
    QObject::connect(&runner, &quantem::ui::CommandRunner::stateChanged, &chartWindow,
        &quantem::ui::ChartWindowView::render);
    quantem::ui::CalculatorWindow calculator(runner);
    quantem::ui::FitDetailsWindow fitDetails(session);
    // Refinement is a long run like a regression: off the window's thread, with Stop.
    fitDetails.setLongRunner(
        [&runner](std::function<void()> command) { return runner.runLong(std::move(command)); });
    QObject::connect(&runner, &quantem::ui::CommandRunner::runFinished, &fitDetails,
        &quantem::ui::FitDetailsWindow::longRunFinished);
    // The refinement also starts where the search ends from other initial values; "Use refined
    // fit" publishes it as a command of the main window.
    fitDetails.setStartsFinder([&session] {
        std::atomic<bool> stopped { false };
        return quantem::app::searchesFromOtherStarts(session, stopped);
    });
    fitDetails.setRefinedFitPublisher(
        [&runner, &session](const quantem::analysis::Refinement& refined) {
            runner.run([&session, refined] { quantem::app::publishRefinedFit(session, refined); });
        });
    // An open details window follows every command that changes the fit shown: a new model or
    // cleared results as much as a fit, "Use this model" of the ranking window among them.
    QObject::connect(
        &runner, &quantem::ui::CommandRunner::stateChanged, &fitDetails, [&runner, &fitDetails] {
            if (fitDetails.isVisible() && !runner.busy())
                fitDetails.followSession(false);
        });
    double lastFitSeconds = 0.0; // a fit found at start-up was not timed: it counts as quick
    std::unique_ptr<quantem::ui::MainWindow> mainWindow;

    quantem::ui::SplashWindow splash(runner, [&] {
        mainWindow = std::make_unique<quantem::ui::MainWindow>(runner);
        questions.setParentWindow(mainWindow.get());
        messageWindows.setAnchor(mainWindow.get());
        calculator.setAnchor(mainWindow.get());
        progress.setRepaint(
            [window = mainWindow.get()](
                const quantem::core::Form1& form1) { window->repaintProgress(form1); },
            mainWindow.get());
        mainWindow->setDrawCommand([&session] { quantem::app::drawChart(session); });
        mainWindow->setCalculatorOpener([&session] { quantem::app::openCalculator(session); });
        mainWindow->setEquationOpener([&runner, window = mainWindow.get()] {
            quantem::ui::openEquationWindow(runner, window);
        });
        mainWindow->setRankingOpener([&runner, window = mainWindow.get()] {
            quantem::ui::RankingWindow* ranking = quantem::ui::openRankingWindow(runner, window);
            // "Use this model" on a saved equation's row opens it in the equation window.
            ranking->setEquationUser(
                [&runner, window](const quantem::equation::EquationEntry& entry,
                    const std::vector<double>& values) {
                    quantem::ui::openEquationWindow(runner, window)->openWith(entry, values);
                });
        });
        mainWindow->setDetailsOpener([&fitDetails, &lastFitSeconds] {
            fitDetails.showFit(lastFitSeconds < 1.0);
            fitDetails.show();
            fitDetails.raise();
        });
        // The details window already shows the new fit (it followed the run's end); it is
        // refined at once when the search itself was quick.
        mainWindow->setFitObserver([&fitDetails, &lastFitSeconds](double seconds) {
            lastFitSeconds = seconds;
            if (fitDetails.isVisible())
                fitDetails.followSession(seconds < 1.0);
        });
        mainWindow->render();
        mainWindow->show();
        if (adopted)
            mainWindow->statusBar()->showMessage(QString::fromStdString(adopted->message));
    });
    // Every window but the message windows and the splash comes back at the size the user left
    // it; the main window, the chart and the calculator keep their own placement, the others
    // their place too.
    using quantem::ui::KeptGeometry;
    quantem::ui::keepWindowGeometry({ { QStringLiteral("Form1"), KeptGeometry::Size },
        { QStringLiteral("Form2"), KeptGeometry::Size },
        { QStringLiteral("Form11"), KeptGeometry::Size },
        { QStringLiteral("FitDetails"), KeptGeometry::Whole },
        { QStringLiteral("RankingWindow"), KeptGeometry::Whole },
        { QStringLiteral("EquationWindow"), KeptGeometry::Whole } });
    splash.show();
    return QApplication::exec();
}
