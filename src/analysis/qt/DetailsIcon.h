#pragma once

#include <QIcon>

namespace quantem::ui {

/// The fit details key's picture: a few residual dots scattered about a zero line.
QIcon fitDetailsIcon();

} // namespace quantem::ui
