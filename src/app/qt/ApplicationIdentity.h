#pragma once

namespace quantem::ui {

/// Names the program for the desktop and gives every window its icon. The desktop adds the
/// program's name to a window title that does not end with it, so the name ends the main
/// window's title (app::mainWindowTitle): that title shows it once, and the other windows'
/// titles say whose they are.
void setApplicationIdentity();

} // namespace quantem::ui
