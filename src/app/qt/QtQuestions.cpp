#include "app/qt/QtQuestions.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace quantem::ui {

QString qtFileFilter(const std::string& filter)
{
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = i + 1 < parts.size()
            ? parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '))
            : QString();
        // Qt takes the patterns from the parentheses; a description that already names them
        // is used as it stands.
        if (patterns.isEmpty() || description.contains(QLatin1Char('(')))
            entries << description;
        else
            entries << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

QtQuestions::QtQuestions(QWidget* parent)
    : m_parent(parent)
{
}

core::Answer QtQuestions::askYesNoCancel(const std::string& text, const std::string& title)
{
    const auto button = QMessageBox::question(m_parent, QString::fromStdString(title),
        QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
        QMessageBox::Yes);
    switch (button) {
    case QMessageBox::Yes:
        return core::Answer::Yes;
    case QMessageBox::No:
        return core::Answer::No;
    default:
        return core::Answer::Cancel;
    }
}

std::filesystem::path QtQuestions::saveFileName(
    const std::string& filter, const std::string& defaultExtension)
{
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(qtFileFilter(filter));
    QString suffix = QString::fromStdString(defaultExtension);
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return std::filesystem::path(dialog.selectedFiles().constFirst().toStdString());
}

} // namespace quantem::ui
