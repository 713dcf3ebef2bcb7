#include "data_program/Prompts.h"

#include "data_program/ImportDialog.h"

#include <QFileDialog>
#include <QMessageBox>

namespace quantem::data {

UnsavedAnswer DialogPrompts::askUnsavedChanges(QWidget* parent, const QString& text)
{
    const QMessageBox::StandardButton button
        = QMessageBox::warning(parent, QStringLiteral("Quantem - Data"), text,
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (button == QMessageBox::Save)
        return UnsavedAnswer::Save;
    if (button == QMessageBox::Discard)
        return UnsavedAnswer::Discard;
    return UnsavedAnswer::Cancel;
}

bool DialogPrompts::confirm(QWidget* parent, const QString& title, const QString& text)
{
    return QMessageBox::question(
               parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

QString DialogPrompts::openFileName(
    QWidget* parent, const QString& title, const QString& directory, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, title, directory, filter);
}

QString DialogPrompts::saveFileName(
    QWidget* parent, const QString& title, const QString& directory, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, title, directory, filter);
}

void DialogPrompts::warn(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::warning(parent, title, text);
}

std::optional<ImportChoice> DialogPrompts::chooseImport(QWidget* parent, const QString& fileName,
    const std::string& content, const ImportChoice& proposed)
{
    ImportDialog dialog(fileName, content, proposed, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

} // namespace quantem::data
