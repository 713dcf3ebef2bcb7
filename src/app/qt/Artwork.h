#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

#include <string_view>

namespace quantem::ui {

/// The start-up window's picture: samples, a fitted curve and the program's name.
QPixmap splashPicture(QSize size);

/// The program's small emblem, for the information window and the window icons.
QPixmap programLogo(int side);

/// The icon of a toolbar key ("dk", "ks", "qc", "qx", "mj", "bg", "zc", "gy", "bz", "tc");
/// an empty icon for any other key.
QIcon toolbarIcon(std::string_view key);

} // namespace quantem::ui
