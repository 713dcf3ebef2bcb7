#pragma once

namespace quantem::ui {

/// The main window's title.
inline constexpr const char* kMainWindowTitle = " Quantem - QTM";

/// Names the program for the desktop and gives every window its icon. The desktop adds the
/// program's name to a window title that does not end with it, so the name is the main window's
/// title: that title shows it once, and the other windows' titles say whose they are.
void setApplicationIdentity();

} // namespace quantem::ui
