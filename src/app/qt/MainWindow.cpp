#include "app/qt/MainWindow.h"

#include "app/FitNotes.h"
#include "app/ShownModelRegression.h"
#include "app/StopQuestion.h"
#include "app/WindowTitle.h"
#include "app/qt/Artwork.h"
#include "core/qt/QtText.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTime>
#include <QToolBar>

#include <chrono>

namespace quantem::ui {

namespace {

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

} // namespace

MainWindow::MainWindow(CommandRunner& runner, QWidget* parent)
    : QMainWindow(parent)
    , m_runner(runner)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(QIcon(programLogo(64)));

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
    const QString title = qt(app::mainWindowTitle(m_runner.session()));
    if (windowTitle() != title)
        setWindowTitle(title);
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
