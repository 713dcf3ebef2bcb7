#pragma once

#include "app/MessageWindowCommands.h"
#include "app/qt/CommandRunner.h"
#include "core/WindowStates.h"

#include <QDialog>
#include <QPointer>

#include <array>
#include <memory>

class QHBoxLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quantem::ui {

/// One of the program's small modeless windows (Form5, Form6, Form9, Form10, Form7, Form8),
/// a view of its MessageWindow state: shown while the state says visible, with the state's text
/// in its label. Its buttons and its close box go to the message-window commands.
/// The width a window needs to show its whole title in the title bar, with the program's name
/// the desktop adds and the title bar's buttons.
int titleBarWidth(const QString& title);

class MessageWindowView : public QDialog
{
    Q_OBJECT

public:
    MessageWindowView(CommandRunner& runner, core::MessageWindowId id, QWidget* parent = nullptr);

    core::MessageWindowId id() const noexcept { return m_id; }

    /// Renders the window's state; a window becoming visible is centred on the anchor.
    void render();
    /// The window new showings are centred on (the main window once it exists).
    void setAnchor(QWidget* anchor) { m_anchor = anchor; }

protected:
    /// The close box and Esc unload the window through its command.
    void reject() override;
    /// Esc presses the cancelling button where the window has one.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void buildSupport();
    void buildInformation();
    void addButton(const char* name, const char* caption, app::MessageButton button);
    void press(app::MessageButton button);
    void centreOnAnchor();

    CommandRunner& m_runner;
    core::MessageWindowId m_id;
    QPointer<QWidget> m_anchor;
    QLabel* m_label = nullptr; // Label1 (Label2 in Form10)
    QPlainTextEdit* m_supportText = nullptr; // Form7's Text1
    QLabel* m_webLabel = nullptr; // Form8's Label10
    QLabel* m_emailLabel = nullptr; // Form8's Label9
    QHBoxLayout* m_buttons = nullptr;
    QPushButton* m_cancel = nullptr; // Form10's Cancel
};

/// The six message-window views, rendered after every command.
class MessageWindowViews
{
public:
    explicit MessageWindowViews(CommandRunner& runner);
    ~MessageWindowViews();
    MessageWindowViews(const MessageWindowViews&) = delete;
    MessageWindowViews& operator=(const MessageWindowViews&) = delete;

    MessageWindowView& view(core::MessageWindowId id);
    void setAnchor(QWidget* anchor);
    void render();

private:
    std::array<std::unique_ptr<MessageWindowView>, 6> m_views;
};

} // namespace quantem::ui
