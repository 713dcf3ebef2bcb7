#include "app/qt/QtQuestions.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStringList>

namespace quantem::ui {

QString qtFileFilter(const std::string& filter)
{
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        // Names match their patterns in either case, as on the desktop the program comes from.
        const QStringList given = i + 1 < parts.size()
            ? parts[i + 1].split(QRegularExpression(QStringLiteral("[; ]")), Qt::SkipEmptyParts)
            : QStringList();
        QStringList patternList;
        for (const QString& pattern : given) {
            for (const QString& variant : { pattern.toLower(), pattern.toUpper() }) {
                if (!patternList.contains(variant))
                    patternList << variant;
            }
        }
        const QString patterns = patternList.join(QLatin1Char(' '));
        // Qt takes the patterns from the parentheses; a description that already names them
        // is used as it stands.
        if (patterns.isEmpty())
            entries << description;
        else if (description.contains(QLatin1Char('(')))
            entries << description.left(description.indexOf(QLatin1Char('('))).trimmed()
                    + QStringLiteral(" (") + patterns + QLatin1Char(')');
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
