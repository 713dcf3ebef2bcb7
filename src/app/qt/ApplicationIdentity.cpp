#include "app/qt/ApplicationIdentity.h"

#include "app/WindowTitle.h"
#include "app/qt/Artwork.h"

#include <QGuiApplication>
#include <QIcon>
#include <QString>

namespace quantem::ui {

void setApplicationIdentity()
{
    QGuiApplication::setApplicationName(QStringLiteral("quantem"));
    // Settings go to ~/.config/quantem/, beside those of the data program.
    QGuiApplication::setOrganizationName(QStringLiteral("quantem"));
    QGuiApplication::setApplicationDisplayName(
        QString::fromLatin1(app::kProgramTitle.data(), app::kProgramTitle.size()));
    QIcon icon;
    for (int side : { 16, 32, 64, 128 })
        icon.addPixmap(programLogo(side));
    QGuiApplication::setWindowIcon(icon);
}

} // namespace quantem::ui
