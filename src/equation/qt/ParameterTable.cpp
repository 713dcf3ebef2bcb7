#include "equation/qt/ParameterTable.h"

#include "core/NumberText.h"
#include "equation/NumberWords.h"

#include <QHeaderView>

#include <algorithm>
#include <cmath>

namespace quantem::ui {

namespace {

    enum Column
    {
        Name,
        Start,
        Fixed,
        Lower,
        Upper,
        Value,
        StandardError,
        Low95,
        High95,
        T,
        P,
        ColumnCount
    };

    QString qt(const std::string& text) { return QString::fromStdString(text); }

    QString shown(double value)
    {
        return std::isfinite(value) ? qt(equation::numberWords(value, 10)) : QString();
    }

    const equation::EquationParameter* resultFor(
        const equation::EquationResult& result, const QString& name)
    {
        for (const equation::EquationParameter& p : result.parameters)
            if (qt(p.name) == name)
                return &p;
        return nullptr;
    }

} // namespace

ParameterTable::ParameterTable(QWidget* parent)
    : QTableWidget(0, ColumnCount, parent)
{
    setObjectName(QStringLiteral("parameters"));
    setHorizontalHeaderLabels({ QStringLiteral("Parameter"), QStringLiteral("Start"),
        QStringLiteral("Fixed"), QStringLiteral("Lower bound"), QStringLiteral("Upper bound"),
        QStringLiteral("Value"), QStringLiteral("Standard error"), QStringLiteral("95% low"),
        QStringLiteral("95% high"), QStringLiteral("t"), QStringLiteral("p") });
    horizontalHeaderItem(Start)->setToolTip(QStringLiteral("Where the fit starts from"));
    horizontalHeaderItem(Fixed)->setToolTip(
        QStringLiteral("A fixed parameter keeps its start value"));
    horizontalHeaderItem(Lower)->setToolTip(QStringLiteral("Empty: no lower bound"));
    horizontalHeaderItem(Upper)->setToolTip(QStringLiteral("Empty: no upper bound"));
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setAlternatingRowColors(true);
}

void ParameterTable::setCell(int row, int column, const QString& text, bool editable)
{
    auto* item = new QTableWidgetItem(text);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable)
        flags |= Qt::ItemIsEditable;
    item->setFlags(flags);
    setItem(row, column, item);
}

void ParameterTable::setInputs(const std::vector<equation::ParameterInputs>& inputs)
{
    setRowCount(static_cast<int>(inputs.size()));
    for (int row = 0; row < rowCount(); ++row) {
        const equation::ParameterInputs& in = inputs[static_cast<std::size_t>(row)];
        setCell(row, Name, qt(in.name), false);
        setCell(row, Start, qt(in.start), true);
        auto* fixed = new QTableWidgetItem;
        fixed->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        fixed->setCheckState(in.fixed ? Qt::Checked : Qt::Unchecked);
        setItem(row, Fixed, fixed);
        setCell(row, Lower, qt(in.lower), true);
        setCell(row, Upper, qt(in.upper), true);
    }
    clearResult();
    // As tall as its rows, up to a dozen: the results below need the room.
    const int shownRows = std::clamp(rowCount(), 2, 12);
    setFixedHeight(horizontalHeader()->height() + 2 * frameWidth() + 4
        + shownRows * verticalHeader()->defaultSectionSize());
}

std::vector<equation::ParameterInputs> ParameterTable::inputs() const
{
    std::vector<equation::ParameterInputs> rows;
    for (int row = 0; row < rowCount(); ++row) {
        const auto text = [this, row](int column) {
            const QTableWidgetItem* cell = item(row, column);
            return cell != nullptr ? cell->text().toStdString() : std::string();
        };
        const QTableWidgetItem* fixed = item(row, Fixed);
        rows.push_back({ text(Name), text(Start),
            fixed != nullptr && fixed->checkState() == Qt::Checked, text(Lower), text(Upper) });
    }
    return rows;
}

void ParameterTable::showResult(const equation::EquationResult& result)
{
    for (int row = 0; row < rowCount(); ++row) {
        const equation::EquationParameter* p = resultFor(result, item(row, Name)->text());
        if (p == nullptr)
            continue;
        setCell(row, Value, shown(p->value), false);
        setCell(row, StandardError, shown(p->standardError), false);
        setCell(row, Low95, shown(p->ciLow), false);
        setCell(row, High95, shown(p->ciHigh), false);
        setCell(row, T, shown(p->t), false);
        setCell(row, P, shown(p->p), false);
        if (p->atBound)
            item(row, Value)->setToolTip(QStringLiteral("The value ended on a bound"));
    }
}

void ParameterTable::clearResult()
{
    for (int row = 0; row < rowCount(); ++row)
        for (int column = Value; column < ColumnCount; ++column)
            setCell(row, column, QString(), false);
}

void ParameterTable::useFittedValues(const equation::EquationResult& result)
{
    for (int row = 0; row < rowCount(); ++row) {
        const equation::EquationParameter* p = resultFor(result, item(row, Name)->text());
        if (p != nullptr && std::isfinite(p->value))
            item(row, Start)->setText(qt(core::recordNumber(p->value)));
    }
}

} // namespace quantem::ui
