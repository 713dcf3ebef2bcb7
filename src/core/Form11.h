#pragma once

#include <array>
#include <string>

namespace quantem::core {

/// The model calculator window's values. A fresh load starts from these defaults; unloading the
/// window brings them back. Fixed captions live only in the view.
struct Form11
{
    bool loaded = false;
    bool visible = false;
    /// Counts the showings, so a view can bring an open window to the front when it is shown
    /// again.
    int showings = 0;

    std::string Text1; // x1 as typed
    std::string Text2; // x2 as typed
    std::string Text3; // x3 as typed
    std::string Text4; // the computed y

    // Which inputs the current model takes; the load sets them from the model's group size.
    bool Text1Enabled = true;
    bool Text2Enabled = true;
    bool Text3Enabled = true;

    /// Status panels 1 and 2 (index 0 is panel 1). Panel 2 shows what the user last did, panel 1
    /// the program's own notices.
    std::array<std::string, 2> StatusBar1;
};

} // namespace quantem::core
