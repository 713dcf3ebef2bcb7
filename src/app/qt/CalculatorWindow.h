#pragma once

#include "app/qt/CommandRunner.h"
#include "results/Calculator.h"

#include <QDialog>
#include <QPointer>

#include <array>
#include <functional>

class QHBoxLayout;
class QLabel;
class QLineEdit;

namespace quantem::ui {

/// The model calculator Form11, a modeless window: three input boxes, the result box, the
/// Calculate, Clear, Help and Close buttons and a two-panel status bar. It renders the Form11
/// state after every command and turns each edit and button into one calculator call.
class CalculatorWindow : public QDialog
{
    Q_OBJECT

public:
    explicit CalculatorWindow(CommandRunner& runner, QWidget* parent = nullptr);

    /// Renders the Form11 state: shown while it says visible, brought to the front when it is
    /// shown again.
    void render();
    /// The window a newly shown calculator is placed over (the main window once it exists).
    void setAnchor(QWidget* anchor) { m_anchor = anchor; }

protected:
    /// The close box and Esc unload the window through its command.
    void reject() override;

private:
    void addInput(results::CalculatorInput input);
    void addButton(
        QHBoxLayout* row, const char* name, const char* caption, void (*command)(core::Session&));
    void run(const std::function<void(core::Session&)>& command);
    void centreOnAnchor();

    CommandRunner& m_runner;
    QPointer<QWidget> m_anchor;
    std::array<QLineEdit*, 5> m_text {}; // Text1..Text4 at their numbers
    std::array<QLabel*, 2> m_panels {};
    int m_showingsRendered = 0;
};

} // namespace quantem::ui
