#include "analysis/qt/DetailsIcon.h"
#include "app/ModelSelection.h"
#include "app/qt/Artwork.h"
#include "app/qt/MainWindow.h"
#include "app/qt/MenuBarKeys.h"
#include "app/qt/ToolIcons.h"
#include "core/ModelCatalogue.h"
#include "core/qt/QtText.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <array>

// The main window's menus and toolbar: every entry one command of the session.

namespace quantem::ui {

namespace {

    // clang-format off
    // The letters that open the menu-bar entries with Alt, by the entry's name; the captions
    // keep their text, so no letter is marked in them.
    constexpr std::array<std::pair<const char*, char>, 10> kMenuBarLetters {{
        { "wenjian", 'D' }, { "xxhg", 'L' }, { "lxhg", 'T' }, { "tshg", 'E' }, { "SYS1", 'O' },
        { "HT", 'W' }, { "ModelCount", 'M' }, { "BG", 'R' }, { "FitDetails", 'F' }, { "BZ", 'H' },
    }};
    // clang-format on

} // namespace

void MainWindow::buildMenus()
{
    core::Session& session = m_runner.session();
    using app::Route;

    QAction* dataInput = command("srsj", "DataInput ", [&session] { app::dataInput(session); });
    dataInput->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    dataInput->setStatusTip(QStringLiteral("Open the data program to enter or edit the samples"));
    dataInput->setToolTip(QStringLiteral("Open data or input data"));
    dataInput->setIcon(toolbarIcon("dk"));

    QAction* regress = longCommand("HGJS", "DataRegress", [this] { this->regress(Route::Menu); });
    regress->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    regress->setStatusTip(QStringLiteral("Fit the chosen model to the samples"));
    regress->setIcon(toolbarIcon("ks"));

    QAction* clear
        = command("QCJG", "ClearResult ", [&session] { app::clearResults(session, Route::Menu); });
    clear->setStatusTip(QStringLiteral("Clear the results and the report"));
    clear->setIcon(toolbarIcon("qc"));

    auto* fitAll = new QAction(fitAllModelsIcon(), QStringLiteral("Fit all models"), this);
    fitAll->setObjectName(QStringLiteral("FitAll"));
    fitAll->setToolTip(QStringLiteral("Fit all models"));
    fitAll->setStatusTip(QStringLiteral("Fit every model to the samples and rank them"));
    connect(fitAll, &QAction::triggered, this, [this] {
        if (m_openRanking)
            m_openRanking();
    });

    auto* ownEquation = new QAction(ownEquationIcon(), QStringLiteral("Fit own equation..."), this);
    ownEquation->setObjectName(QStringLiteral("OwnEquation"));
    ownEquation->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    ownEquation->setToolTip(QStringLiteral("Fit own equation (Ctrl+E)"));
    ownEquation->setStatusTip(QStringLiteral(
        "Type an equation of your own, or pick a saved one, and fit it to the samples"));
    connect(ownEquation, &QAction::triggered, this, [this] {
        if (m_openEquation)
            m_openEquation();
    });

    auto* exit = new QAction(QStringLiteral("Exit"), this);
    exit->setObjectName(QStringLiteral("TC"));
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    exit->setStatusTip(QStringLiteral("Leave the program"));
    exit->setToolTip(QStringLiteral("Exit"));
    exit->setIcon(toolbarIcon("tc"));
    // Leaving goes through closing the window, which asks about the report.
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* dataMenu = menuBar()->addMenu(QStringLiteral("Data"));
    dataMenu->setObjectName(QStringLiteral("wenjian"));
    dataMenu->addAction(dataInput);
    dataMenu->addSeparator()->setObjectName(QStringLiteral("fg3"));
    dataMenu->addAction(regress);
    dataMenu->addAction(fitAll);
    dataMenu->addAction(ownEquation);
    dataMenu->addAction(clear);
    dataMenu->addSeparator()->setObjectName(QStringLiteral("FG1"));
    dataMenu->addAction(exit);

    // One model is chosen at a time: the menus mark it as an option, none before the first.
    auto* models = new QActionGroup(this);
    models->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const core::ModelMenu& modelMenu : core::modelMenus()) {
        QMenu* menu = menuBar()->addMenu(qt(modelMenu.caption));
        menu->setObjectName(qt(modelMenu.control));
        for (core::ModelId id : modelMenu.items) {
            const core::ModelDescriptor& model = core::modelOf(id);
            QAction* item = command(std::string(model.menuControl).c_str(),
                std::string(model.menuCaption).c_str(),
                [&session, id] { app::selectModel(session, id); });
            item->setCheckable(true);
            models->addAction(item);
            item->setStatusTip(qt(model.formulaText).trimmed());
            menu->addAction(item);
            m_modelActions[id] = item;
        }
    }

    QAction* draw = command("HT", "Draw ", [this] {
        if (m_draw)
            m_draw();
    });
    draw->setToolTip(QStringLiteral("Draw "));
    draw->setStatusTip(QStringLiteral("Draw the samples and the fitted curve"));
    menuBar()->addAction(draw);

    auto* count = new QAction(QStringLiteral("ModelCount"), this);
    count->setObjectName(QStringLiteral("ModelCount"));
    count->setToolTip(QStringLiteral("Model count"));
    count->setStatusTip(QStringLiteral("Evaluate the fitted model for values you type in"));
    connect(count, &QAction::triggered, this, [this] {
        run([this] {
            if (app::modelCount(m_runner.session()) && m_openCalculator)
                m_openCalculator();
        });
    });
    menuBar()->addAction(count);

    QAction* report = command("BG", "Report ", [&session] { app::showReport(session); });
    report->setToolTip(QStringLiteral("Report"));
    report->setStatusTip(QStringLiteral("Show the data report"));
    menuBar()->addAction(report);

    QAction* details = command("FitDetails", "FitDetails", [this] {
        if (m_openDetails)
            m_openDetails();
    });
    details->setToolTip(QStringLiteral("Fit details"));
    details->setStatusTip(
        QStringLiteral("Standard errors, refinement and residuals of the fit shown"));
    menuBar()->addAction(details);

    QAction* help = command("BZZT", "Help", [&session] { app::openHelp(session); });
    help->setShortcut(QKeySequence::HelpContents);
    help->setToolTip(QStringLiteral("Help"));
    help->setStatusTip(QStringLiteral("Open the help page"));
    help->setIcon(toolbarIcon("bz"));
    QAction* support = command("hdzc", "Support", [&session] { app::showSupport(session); });
    support->setToolTip(QStringLiteral("Support "));
    support->setStatusTip(QStringLiteral("How to reach support"));
    support->setIcon(toolbarIcon("zc"));
    QAction* copyright
        = command("bbxx", "CopyrightInfo", [&session] { app::showCopyright(session); });
    copyright->setToolTip(QStringLiteral("Copyright info"));
    copyright->setStatusTip(QStringLiteral("About this program"));
    copyright->setIcon(toolbarIcon("gy"));

    QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("Help"));
    helpMenu->setObjectName(QStringLiteral("BZ"));
    helpMenu->addAction(help);
    helpMenu->addAction(support);
    helpMenu->addSeparator();
    helpMenu->addSeparator();
    helpMenu->addAction(copyright);
    buildMenuKeys();
}

void MainWindow::buildMenuKeys()
{
    auto* keys = new MenuBarKeys(*menuBar(), *this);
    for (QAction* entry : menuBar()->actions()) {
        const QString name
            = entry->menu() != nullptr ? entry->menu()->objectName() : entry->objectName();
        for (const auto& [entryName, letter] : kMenuBarLetters) {
            if (name == QLatin1String(entryName))
                keys->addMnemonic(entry, letter);
        }
    }
}

void MainWindow::buildToolBar()
{
    core::Session& session = m_runner.session();
    using app::Route;

    // The toolbar's regression and clear keys take their own routes; the other keys share the
    // menu's actions.
    QAction* regress = longCommand("ks", "DataRegress", [this] { this->regress(Route::Toolbar); });
    regress->setToolTip(QStringLiteral("Data regress"));
    regress->setStatusTip(QStringLiteral("Fit the chosen model to the samples"));
    regress->setIcon(toolbarIcon("ks"));
    QAction* clear
        = command("qc", "ClearResult ", [&session] { app::clearResults(session, Route::Toolbar); });
    clear->setToolTip(QStringLiteral("Clear result "));
    clear->setStatusTip(QStringLiteral("Clear the results and the report"));
    clear->setIcon(toolbarIcon("qc"));

    const auto shared
        = [this](const char* name) { return findChild<QAction*>(QString::fromLatin1(name)); };

    auto* toolBar = addToolBar(QStringLiteral("Toolbar1"));
    toolBar->setObjectName(QStringLiteral("Toolbar1"));
    toolBar->setMovable(false);
    toolBar->setIconSize(QSize(24, 24));
    const std::array<std::pair<const char*, QAction*>, 12> keys { {
        { "dk", shared("srsj") },
        { "ks", regress },
        { "fitall", shared("FitAll") },
        { "equation", shared("OwnEquation") },
        { "qc", clear },
        { "qx", shared("HT") },
        { "mj", shared("ModelCount") },
        { "bg", shared("BG") },
        { "zc", shared("hdzc") },
        { "gy", shared("bbxx") },
        { "bz", shared("BZZT") },
        { "tc", shared("TC") },
    } };
    for (const auto& [key, action] : keys) {
        toolBar->addAction(action);
        auto* button = static_cast<QToolButton*>(toolBar->widgetForAction(action));
        button->setObjectName(QString::fromLatin1(key));
        if (!action->icon().isNull())
            continue;
        // A menu-bar entry with an icon would show the icon instead of its caption, so the
        // icons of "Draw ", "ModelCount" and "Report " live on their buttons only; the button
        // takes the action's icon again whenever the action changes, so it is put back.
        const QIcon icon = toolbarIcon(key);
        button->setIcon(icon);
        connect(action, &QAction::changed, button, [button, icon] { button->setIcon(icon); });
    }
    // The fit details key sits beside the report's, with its own picture on the button only.
    QAction* details = shared("FitDetails");
    toolBar->insertAction(shared("hdzc"), details);
    auto* detailsButton = static_cast<QToolButton*>(toolBar->widgetForAction(details));
    detailsButton->setObjectName(QStringLiteral("xq"));
    const QIcon detailsIcon = fitDetailsIcon();
    detailsButton->setIcon(detailsIcon);
    connect(details, &QAction::changed, detailsButton,
        [detailsButton, detailsIcon] { detailsButton->setIcon(detailsIcon); });
}

} // namespace quantem::ui
