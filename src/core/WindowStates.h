#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quantem::core {

/// An RGB colour as the windows use it.
struct Colour
{
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Colour&) const = default;
};

/// What the notice in status panel 1 tells, least important first (core/Notices.h).
enum class NoticeKind
{
    None,
    Hint, // something done on the side did not work: a picture, a page, a program
    Reason, // why a command stopped or refused its input
    Warning, // a result that needs care
    WriteFailure, // a file could not be written: the cause of what followed
};

/// The state line at rest, and while a regression runs.
inline constexpr std::string_view kStateCaption = "State of regression analysis ";
inline constexpr std::string_view kRegressWaitCaption = "Regress analysis, wait !";

/// The main window's values: the blackboard where results live and from which later commands
/// read them back. Fixed captions that nothing changes live only in the view.
struct Form1
{
    std::string Text1 = " "; // variable count v
    std::string Text2 = " "; // sample count
    std::string Text3 = " "; // element count e
    std::string Text4 = ".5"; // power initial value, or m for the linear family
    std::string Text5; // the summary report; empty means nothing waits to be saved
    std::string Text6;
    std::string Text7 = "0"; // previous variable count, kept for the report builder

    // Value labels: a0..a6, k1..k6, then the six test parameters.
    std::string Label2 = " ", Label3 = " ", Label4 = " ", Label5 = " ", Label6 = " ", Label7 = " ",
                Label8 = " ";
    std::string Label11 = " ", Label12 = " ", Label13 = " ", Label14 = " ", Label15 = " ",
                Label16 = " ";
    std::string Label17 = " ", Label18 = " ", Label19 = " ", Label20 = " ", Label21 = " ",
                Label22 = " ";

    std::string Label9 = "InputPowerInitialValue:";
    std::string Label10 = std::string(kStateCaption);
    std::string Frame1 = "Return to model of overview report"; // the report frame's caption

    bool Text1Visible = true;
    bool Text3Visible = true;
    bool Label1Visible = true;
    bool Label24Visible = true;

    std::string Picture1; // path of the formula picture shown; empty for none
    Colour Picture2 { 192, 192, 192 }; // run indicator
    int Timer1Interval = 0;

    /// Status panels 1..7 (index 0 is panel 1). Panel 1 carries the program's own notices,
    /// 2 and 3 the date and time at load, 4..7 the progress of the power engine.
    std::array<std::string, 7> StatusBar1 { "", "", "", "0", "1", " ", "0" };
    /// What the text of panel 1 tells; set only through core/Notices.h.
    NoticeKind StatusBar1Notice = NoticeKind::None;

    /// The model whose menu item carries the check mark (0: none).
    int checkedModel = 0;

    /// How many fits have set the coefficient labels, so a run can tell whether it published.
    int publishedFits = 0;

    /// A value label by its control number (2..8, 11..22); throws std::out_of_range otherwise.
    std::string& label(int number);
    const std::string& label(int number) const;
};

/// The value label numbers in window order: a0..a6 (2..8), k1..k6 (11..16), tests (17..22).
inline constexpr std::array<int, 19> kValueLabels { 2, 3, 4, 5, 6, 7, 8, 11, 12, 13, 14, 15, 16, 17,
    18, 19, 20, 21, 22 };

/// Texts that callers put into Form5's label.
inline constexpr const char* kDoRegressionText = "   Do regression !";
inline constexpr const char* kNoDataText = "Have no data !";

/// The message windows of the program.
enum class MessageWindowId
{
    Form5,
    Form6,
    Form9,
    Form10,
    Form7,
    Form8
};

const char* messageWindowName(MessageWindowId id);
/// The text a fresh load puts into the window's label.
const char* standingText(MessageWindowId id);

/// A small modeless window: loaded or not, visible or not, and the text of its label.
struct MessageWindow
{
    bool loaded = false;
    bool visible = false;
    std::string text;
};

/// One showing of a message window, as the log keeps it.
struct Showing
{
    MessageWindowId window;
    std::string text;
    std::string reason; // why an input was refused; empty for other showings
};

/// The message windows and the log of every showing, which views and the headless front end
/// read.
class MessageWindows
{
public:
    MessageWindow& operator[](MessageWindowId id);
    const MessageWindow& operator[](MessageWindowId id) const;

    /// Loads the window if it is not loaded (a fresh load restores the standing text), sets the
    /// caller's text if there is one, shows it and logs the showing with the reason, if any.
    /// Nothing waits for an answer.
    void show(MessageWindowId id, const std::optional<std::string>& text = std::nullopt,
        const std::string& reason = {});
    /// Unloads the window: the next showing starts from the standing text.
    void unload(MessageWindowId id);

    const std::vector<Showing>& log() const noexcept { return m_log; }

private:
    std::array<MessageWindow, 6> m_windows;
    std::vector<Showing> m_log;
};

} // namespace quantem::core
