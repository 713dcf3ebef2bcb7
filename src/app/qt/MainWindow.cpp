#include "app/qt/MainWindow.h"

#include "analysis/DetailsHelp.h"
#include "analysis/qt/DetailsIcon.h"
#include "app/FitNotes.h"
#include "app/ModelSelection.h"
#include "app/ShownModelRegression.h"
#include "app/StopQuestion.h"
#include "app/qt/ApplicationIdentity.h"
#include "app/qt/Artwork.h"
#include "app/qt/MenuBarKeys.h"
#include "app/qt/ReportPrinting.h"
#include "app/qt/ToolIcons.h"
#include "core/ModelCatalogue.h"
#include "ranking/qt/RankingWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStatusBar>
#include <QTime>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <chrono>

namespace quantem::ui {

namespace {

    QString qt(const std::string& text) { return QString::fromStdString(text); }
    QString qt(std::string_view text)
    {
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }

    // The state line and the report can carry the program's Chinese texts: the Latin face
    // comes first, a face with those characters after it.
    constexpr const char* kChineseFace = "WenQuanYi Micro Hei";

    QFont withChineseFallback(QFont font)
    {
        font.setFamilies({ font.family(), QString::fromLatin1(kChineseFace) });
        return font;
    }

    QFont reportFont()
    {
        QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setStyleHint(QFont::Monospace);
        font.setFamilies({ QStringLiteral("DejaVu Sans Mono"), font.family(),
            QStringLiteral("WenQuanYi Micro Hei Mono"), QString::fromLatin1(kChineseFace) });
        return font;
    }

    QLabel* plainLabel(const char* name, const QString& text, QWidget* parent)
    {
        auto* label = new QLabel(text, parent);
        label->setObjectName(QString::fromLatin1(name));
        label->setTextFormat(Qt::PlainText);
        return label;
    }

    // Value labels of the result panels, as boxes the user can copy from.
    QLabel* valueLabel(int number, QWidget* parent)
    {
        auto* label = new QLabel(parent);
        label->setObjectName(QStringLiteral("Label%1").arg(number));
        label->setTextFormat(Qt::PlainText);
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        label->setAutoFillBackground(true);
        label->setBackgroundRole(QPalette::Base);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 21);
        label->setContentsMargins(4, 1, 4, 1);
        return label;
    }

    void setTextIfChanged(QLineEdit* edit, const std::string& text)
    {
        // Setting a text moves the cursor; the box the user types in already shows it.
        const QString shown = qt(text);
        if (edit->text() != shown)
            edit->setText(shown);
    }

    void setColour(QWidget* widget, const core::Colour& colour)
    {
        const QColor wanted(colour.red, colour.green, colour.blue);
        if (widget->palette().color(QPalette::Window) == wanted)
            return;
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, wanted);
        widget->setPalette(palette);
    }

    // Room beside a status panel's text, so it never touches the panel's edge.
    constexpr int kPanelPadding = 8;

    struct CaptionRow
    {
        const char* caption;
        const char* captionName;
        int valueNumber;
    };

    // clang-format off
    constexpr std::array<CaptionRow, 7> kCoefficientRows {{
        { "a0 value: ",  "Label39", 2 }, { "a1 value: ", "Label40", 3 },
        { "a2 value: ",  "Label41", 4 }, { "a3 value: ", "Label42", 5 },
        { "a4 value:  ", "Label43", 6 }, { "a5 value: ", "Label44", 7 },
        { "a6 value: ",  "Label45", 8 },
    }};
    constexpr std::array<CaptionRow, 6> kExponentRows {{
        { "k1 value: ", "Label33", 11 }, { "k2 value: ", "Label34", 12 },
        { "k3 value: ", "Label35", 13 }, { "k4 value: ", "Label36", 14 },
        { "k5 value: ", "Label37", 15 }, { "k6 value: ", "Label38", 16 },
    }};
    constexpr std::array<CaptionRow, 6> kTestRows {{
        { "Correlation coefficient:",  "Label27", 17 },
        { "The statistic:",            "Label28", 18 },
        { "Remain standard warp:",     "Label29", 19 },
        { "The maximal error:",        "Label30", 20 },
        { "Average error:",            "Label31", 21 },
        { "Average relativity error",  "Label32", 22 },
    }};

    // The letters that open the menu-bar entries with Alt, by the entry's name; the captions
    // keep their text, so no letter is marked in them.
    constexpr std::array<std::pair<const char*, char>, 10> kMenuBarLetters {{
        { "wenjian", 'D' }, { "xxhg", 'L' }, { "lxhg", 'T' }, { "tshg", 'E' }, { "SYS1", 'O' },
        { "HT", 'W' }, { "ModelCount", 'M' }, { "BG", 'R' }, { "FitDetails", 'F' }, { "BZ", 'H' },
    }};
    // clang-format on

} // namespace

MainWindow::MainWindow(CommandRunner& runner, QWidget* parent)
    : QMainWindow(parent)
    , m_runner(runner)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(kMainWindowTitle));
    setWindowIcon(QIcon(programLogo(64)));
    setFont(withChineseFallback(font()));

    buildCentre();
    buildMenus();
    buildToolBar();
    buildStatusBar();
    connect(&m_runner, &CommandRunner::stateChanged, this, &MainWindow::render);
    connect(&m_runner, &CommandRunner::runStarted, this, [this] { setRunning(true); });
    connect(&m_runner, &CommandRunner::runFinished, this, [this] {
        setRunning(false);
        if (m_fitSeconds && m_fitObserver)
            m_fitObserver(*m_fitSeconds);
        m_fitSeconds.reset();
    });

    const QLocale locale = QLocale::system();
    const std::string date
        = locale.toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
    const std::string time
        = locale.toString(QTime::currentTime(), QLocale::LongFormat).toStdString();
    run([this, &date, &time] { app::loadMainWindow(m_runner.session(), date, time); });

    resize(1060, 800);
    centreOnScreen();
}

void MainWindow::buildCentre()
{
    auto* centre = new QWidget(this);
    auto* outer = new QVBoxLayout(centre);
    outer->setContentsMargins(10, 8, 10, 6);
    outer->setSpacing(8);

    // State line with the run indicator beside it.
    auto* stateRow = new QHBoxLayout;
    m_label10 = plainLabel("Label10", QString(), centre);
    QFont stateFont = m_label10->font();
    stateFont.setBold(true);
    m_label10->setFont(stateFont);
    m_picture2 = new QFrame(centre);
    m_picture2->setObjectName(QStringLiteral("Picture2"));
    m_picture2->setAutoFillBackground(true);
    static_cast<QFrame*>(m_picture2)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_picture2->setFixedSize(160, 14);
    m_picture2->setToolTip(QStringLiteral("Run indicator"));
    stateRow->addWidget(m_label10, 1);
    stateRow->addWidget(m_picture2, 0, Qt::AlignVCenter);
    buildStopControls(centre);
    stateRow->addWidget(m_stop, 0, Qt::AlignVCenter);
    outer->addLayout(stateRow);

    // Input row: captions right-aligned against boxes of one width.
    auto* inputs = new QGridLayout;
    inputs->setHorizontalSpacing(6);
    const int boxWidth = fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12;
    const auto addInput
        = [&](int column, const char* labelName, const QString& caption, int textNumber) {
              QLabel* label = plainLabel(labelName, caption, centre);
              label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
              auto* edit = new QLineEdit(centre);
              edit->setObjectName(QStringLiteral("Text%1").arg(textNumber));
              edit->setFixedWidth(boxWidth);
              m_text[textNumber] = edit;
              inputs->addWidget(label, 0, column * 2);
              inputs->addWidget(edit, 0, column * 2 + 1);
              inputs->setColumnStretch(column * 2, 1);
              label->setBuddy(edit);
              return label;
          };
    addInput(0, "Label23", QStringLiteral("InputSampleCapacity:"), 2);
    m_label9 = addInput(1, "Label9", QString(), 4);
    m_label24 = addInput(2, "Label24", QStringLiteral("VariantNumber:"), 1);
    m_label1 = addInput(3, "Label1", QStringLiteral("ElementNumber:"), 3);
    // Four pairs of one width, evenly spread; the widest caption the row can show sets it.
    const int captionWidth
        = m_label9->fontMetrics().horizontalAdvance(QStringLiteral("InputPowerInitialValue:  "));
    for (int column = 0; column < 4; ++column)
        inputs->setColumnMinimumWidth(column * 2, captionWidth);
    outer->addLayout(inputs);

    for (int number : { 6, 7 }) {
        auto* hidden = new QLineEdit(centre);
        hidden->setObjectName(QStringLiteral("Text%1").arg(number));
        hidden->hide();
        m_text[number] = hidden;
    }

    connect(m_text[2], &QLineEdit::textEdited, this, [this](const QString& text) {
        run([this, text] { app::setSampleCountText(m_runner.session(), text.toStdString()); });
    });
    // The other boxes only hold what the user typed until a command reads it.
    for (int number : { 1, 3, 4 }) {
        connect(m_text[number], &QLineEdit::textEdited, this, [this, number](const QString& text) {
            core::Form1& form = m_runner.session().form1;
            std::string& box = number == 1 ? form.Text1 : number == 3 ? form.Text3 : form.Text4;
            box = text.toStdString();
        });
    }

    // Result panels.
    auto* panels = new QHBoxLayout;
    panels->setSpacing(8);
    const auto addPanel = [&](const char* name, const char* caption, const auto& rows) {
        auto* frame = new QGroupBox(QString::fromLatin1(caption), centre);
        frame->setObjectName(QString::fromLatin1(name));
        auto* grid = new QGridLayout(frame);
        grid->setVerticalSpacing(5);
        grid->setHorizontalSpacing(6);
        int row = 0;
        for (const CaptionRow& entry : rows) {
            QLabel* captionLabel
                = plainLabel(entry.captionName, QString::fromLatin1(entry.caption), frame);
            captionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            QLabel* value = valueLabel(entry.valueNumber, frame);
            m_values[static_cast<std::size_t>(entry.valueNumber)] = value;
            if (entry.valueNumber == 19) {
                const QString why = QString::fromUtf8(analysis::kTwoResidualDeviations.data(),
                    static_cast<qsizetype>(analysis::kTwoResidualDeviations.size()));
                captionLabel->setToolTip(why);
                value->setToolTip(why);
            }
            grid->addWidget(captionLabel, row, 0);
            grid->addWidget(value, row, 1);
            ++row;
        }
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(row, 1);
        panels->addWidget(frame, 1);
    };
    addPanel("Frame3", "Coefficient of regression model", kCoefficientRows);
    addPanel("Frame4", "Power value of regression", kExponentRows);
    addPanel("Frame5", "Test parameter of regression", kTestRows);
    outer->addLayout(panels);

    // The formula picture of the chosen model.
    auto* frame2 = new QGroupBox(QStringLiteral("Show the model"), centre);
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* frame2Layout = new QVBoxLayout(frame2);
    frame2Layout->setContentsMargins(6, 4, 6, 6);
    auto* pictureArea = new QScrollArea(frame2);
    pictureArea->setFrameShape(QFrame::NoFrame);
    pictureArea->setWidgetResizable(true);
    pictureArea->setMinimumHeight(84);
    pictureArea->setMaximumHeight(150);
    m_picture1 = new QLabel(pictureArea);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setAlignment(Qt::AlignCenter);
    m_picture1->setAutoFillBackground(true);
    m_picture1->setBackgroundRole(QPalette::Base);
    pictureArea->setWidget(m_picture1);
    frame2Layout->addWidget(pictureArea);
    outer->addWidget(frame2);

    // The summary report.
    m_frame1 = new QGroupBox(centre);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    auto* frame1Layout = new QVBoxLayout(m_frame1);
    frame1Layout->setContentsMargins(6, 4, 6, 6);
    m_report = new QPlainTextEdit(m_frame1);
    m_report->setObjectName(QStringLiteral("Text5"));
    m_report->setReadOnly(true);
    m_report->setFont(reportFont());
    m_report->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_report->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_report->setMinimumHeight(160);
    addReportPrinting(m_report);
    frame1Layout->addWidget(m_report);
    outer->addWidget(m_frame1, 1);

    setCentralWidget(centre);
}

QAction* MainWindow::command(const char* name, const char* caption, std::function<void()> body)
{
    auto* action = new QAction(QString::fromLatin1(caption), this);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [this, body = std::move(body)] { run(body); });
    return action;
}

QAction* MainWindow::longCommand(const char* name, const char* caption, std::function<void()> body)
{
    auto* action = new QAction(QString::fromLatin1(caption), this);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this,
        [this, body = std::move(body)] { m_runner.runLong(body); });
    return action;
}

void MainWindow::buildStopControls(QWidget* centre)
{
    m_stop = new QPushButton(QStringLiteral("Stop"), centre);
    m_stop->setObjectName(QStringLiteral("Stop"));
    m_stop->setToolTip(QStringLiteral("Stop the run (Esc)"));
    m_stop->setEnabled(false);
    connect(m_stop, &QPushButton::clicked, this, [this] { m_runner.requestStop(); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("StopKey"));
    connect(escape, &QShortcut::activated, this, [this] { m_runner.requestStop(); });
}

void MainWindow::setRunning(bool running)
{
    // While a run owns the session, nothing else may reach it: menus, keys and boxes wait.
    menuBar()->setEnabled(!running);
    if (auto* toolBar = findChild<QToolBar*>(QStringLiteral("Toolbar1")))
        toolBar->setEnabled(!running);
    for (QLineEdit* edit : m_text) {
        if (edit != nullptr)
            edit->setReadOnly(running);
    }
    m_stop->setEnabled(running);
    if (!running && m_closeAfterRun) {
        m_closeAfterRun = false;
        close();
    }
}

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

void MainWindow::regress(app::Route route)
{
    // Runs on the long run's thread: only the session is touched here; the observer hears of
    // the fit on the window's thread when the run has ended.
    const auto start = std::chrono::steady_clock::now();
    core::Session& session = m_runner.session();
    // The notes' refinement runs on this thread too: the state line keeps its wait text until
    // it ends.
    if (!app::regressWithNotes(session, [&] { return app::regressShownModel(session, route); }))
        return;
    m_fitSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void MainWindow::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    // Panel 1 carries the program's notices and gives way to status tips; the others keep
    // their place at the right.
    // Panels 5 to 7 show R, F and S shifted while a search runs: room for fifteen digits.
    const std::array<int, 7> minimumWidths { 0, 11, 10, 4, 18, 18, 18 };
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panel->setTextFormat(Qt::PlainText);
        panel->setContentsMargins(4, 0, 4, 0);
        panel->setMinimumWidth(minimumWidths[i] * digit);
        m_panels[i] = panel;
        if (i == 0) {
            // A long notice must not push the other panels out of the window.
            panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            bar->addWidget(panel, 1);
        } else {
            panel->setAlignment(Qt::AlignCenter);
            panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
            bar->addPermanentWidget(panel);
        }
    }
}

void MainWindow::run(const std::function<void()>& command) { m_runner.run(command); }

void MainWindow::render()
{
    const core::Form1& form = m_runner.session().form1;
    setTextIfChanged(m_text[1], form.Text1);
    setTextIfChanged(m_text[2], form.Text2);
    setTextIfChanged(m_text[3], form.Text3);
    setTextIfChanged(m_text[4], form.Text4);
    setTextIfChanged(m_text[6], form.Text6);
    setTextIfChanged(m_text[7], form.Text7);
    if (m_reportShown != form.Text5) {
        QString report = qt(form.Text5);
        report.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        m_report->setPlainText(report);
        m_reportShown = form.Text5;
    }

    m_text[1]->setVisible(form.Text1Visible);
    m_text[3]->setVisible(form.Text3Visible);
    m_label1->setVisible(form.Label1Visible);
    m_label24->setVisible(form.Label24Visible);
    m_label9->setText(qt(form.Label9));
    m_frame1->setTitle(qt(form.Frame1));

    for (int number : core::kValueLabels)
        m_values[static_cast<std::size_t>(number)]->setText(qt(form.label(number)));

    if (m_pictureShown != form.Picture1) {
        m_pictureShown = form.Picture1;
        m_picture1->setPixmap(form.Picture1.empty() ? QPixmap() : QPixmap(qt(form.Picture1)));
    }

    for (const auto& [id, action] : m_modelActions)
        action->setChecked(id == form.checkedModel);

    renderProgress(form);
}

void MainWindow::renderProgress(const core::Form1& form1)
{
    m_label10->setText(qt(form1.Label10));
    setColour(m_picture2, form1.Picture2);
    for (std::size_t i = 0; i < m_panels.size(); ++i)
        m_panels[i]->setText(qt(form1.StatusBar1[i]));
    // A notice longer than its panel can still be read whole.
    m_panels[0]->setToolTip(m_panels[0]->text());
    // The date and the time keep clear of their panels' edges, however long their format.
    for (std::size_t i : { std::size_t { 1 }, std::size_t { 2 } }) {
        QLabel* panel = m_panels[i];
        const int room = panel->fontMetrics().horizontalAdvance(panel->text())
            + panel->contentsMargins().left() + panel->contentsMargins().right()
            + 2 * panel->frameWidth() + kPanelPadding;
        if (panel->minimumWidth() < room)
            panel->setMinimumWidth(room);
    }
}

void MainWindow::repaintProgress(const core::Form1& form1)
{
    renderProgress(form1);
    m_label10->repaint();
    m_picture2->repaint();
    for (QLabel* panel : m_panels)
        panel->repaint();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_runner.busy()) {
        // The window closes once the stopped run has ended and the usual exit prompt agreed.
        event->ignore();
        if (app::confirmStopOnClose(m_runner.session().questions)) {
            m_closeAfterRun = true;
            m_runner.requestStop();
        }
        return;
    }
    bool ends = false;
    run([this, &ends] { ends = app::confirmExit(m_runner.session()); });
    if (!ends) {
        event->ignore();
        return;
    }
    event->accept();
    QCoreApplication::quit();
}

void MainWindow::centreOnScreen()
{
    const QScreen* screen = QApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    resize(std::min(width(), area.width()), std::min(height(), area.height()));
    move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
}

} // namespace quantem::ui
