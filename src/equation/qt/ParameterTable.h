#pragma once

#include "equation/EquationFit.h"
#include "equation/EquationForm.h"

#include <QTableWidget>

#include <vector>

namespace quantem::ui {

/// The parameter table of the equation window: one row per parameter of the formula, in order
/// of first use. Start, fixed and the bounds are typed in; value, standard error, the 95 %
/// interval, t and p are shown after a fit.
class ParameterTable : public QTableWidget
{
    Q_OBJECT

public:
    explicit ParameterTable(QWidget* parent = nullptr);

    /// Shows the inputs as rows; the result columns are emptied.
    void setInputs(const std::vector<equation::ParameterInputs>& inputs);
    /// The inputs as typed now.
    std::vector<equation::ParameterInputs> inputs() const;
    /// Fills the result columns of the rows whose names the result has.
    void showResult(const equation::EquationResult& result);
    /// Empties the result columns.
    void clearResult();
    /// Puts each fitted value into its start cell.
    void useFittedValues(const equation::EquationResult& result);

private:
    void setCell(int row, int column, const QString& text, bool editable);
};

} // namespace quantem::ui
