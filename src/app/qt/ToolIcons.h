#pragma once

#include <QIcon>

namespace quantem::ui {

/// The picture of the "Fit all models" command.
QIcon fitAllModelsIcon();

/// The picture of the "Fit own equation..." command.
QIcon ownEquationIcon();

} // namespace quantem::ui
