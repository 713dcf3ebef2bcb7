#pragma once

#include "app/qt/CommandRunner.h"

#include <QWidget>

#include <functional>

class QTimer;

namespace quantem::ui {

/// The start-up window frmSplash: a picture, "Continue ", "Exit " and "Help". After 3000 ms, or
/// at "Continue ", it runs the start-up reset once, opens the main window and closes itself.
class SplashWindow : public QWidget
{
    Q_OBJECT

public:
    /// openMainWindow is called once, after the start-up reset.
    SplashWindow(
        CommandRunner& runner, std::function<void()> openMainWindow, QWidget* parent = nullptr);

    static constexpr int kWaitMs = 3000;

private:
    void proceed();
    void exitProgram();

    CommandRunner& m_runner;
    std::function<void()> m_openMainWindow;
    QTimer* m_timer = nullptr;
    bool m_proceeded = false;
};

} // namespace quantem::ui
