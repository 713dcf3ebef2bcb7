#include "app/qt/SplashWindow.h"

#include "app/Commands.h"
#include "app/qt/Artwork.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace quantem::ui {

SplashWindow::SplashWindow(
    CommandRunner& runner, std::function<void()> openMainWindow, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_runner(runner)
    , m_openMainWindow(std::move(openMainWindow))
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral(" Quantem - QTM"));
    setWindowIcon(QIcon(programLogo(32)));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(splashPicture(QSize(520, 280)));

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(12, 10, 12, 12);
    buttons->setSpacing(10);
    buttons->addStretch(1);
    const auto addButton = [this, buttons](const char* name, const char* caption) {
        auto* button = new QPushButton(QString::fromLatin1(caption), this);
        button->setObjectName(QString::fromLatin1(name));
        button->setMinimumWidth(96);
        buttons->addWidget(button);
        return button;
    };
    QPushButton* proceedButton = addButton("Command1", "Continue ");
    QPushButton* exitButton = addButton("Command2", "Exit ");
    QPushButton* helpButton = addButton("Command3", "Help");
    proceedButton->setDefault(true);
    proceedButton->setFocus();

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(picture);
    outer->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(proceedButton, &QPushButton::clicked, this, &SplashWindow::proceed);
    connect(exitButton, &QPushButton::clicked, this, &SplashWindow::exitProgram);
    connect(helpButton, &QPushButton::clicked, this,
        [this] { m_runner.run([this] { app::openHelp(m_runner.session()); }); });

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(kWaitMs);
    connect(m_timer, &QTimer::timeout, this, &SplashWindow::proceed);
    m_timer->start();

    adjustSize();
    if (const QScreen* screen = QApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void SplashWindow::proceed()
{
    // The timer and "Continue " race; whichever comes first runs the reset, the other nothing.
    if (m_proceeded)
        return;
    m_proceeded = true;
    m_timer->stop();
    m_runner.run([this] { app::startUpReset(m_runner.session()); });
    if (m_openMainWindow)
        m_openMainWindow();
    close();
}

void SplashWindow::exitProgram()
{
    m_timer->stop();
    close();
    QCoreApplication::quit();
}

} // namespace quantem::ui
