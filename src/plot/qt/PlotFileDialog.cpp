#include "plot/qt/PlotFileDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace quantem::ui {

QString askPlotFile(
    QWidget* parent, const QString& caption, std::span<const PlotFileFilter> filters)
{
    QStringList names;
    for (const PlotFileFilter& f : filters)
        names << QString::fromLatin1(f.filter);
    QString chosen = names.front();
    QString path = QFileDialog::getSaveFileName(
        parent, caption, QString(), names.join(QStringLiteral(";;")), &chosen);
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    const auto index = static_cast<std::size_t>(std::max<qsizetype>(names.indexOf(chosen), 0));
    return path + QString::fromLatin1(filters[index].extension);
}

} // namespace quantem::ui
