#include "chart/ChartState.h"

#include "core/CheckedMath.h"

#include <stdexcept>

namespace quantem::chart {

void ensureLoaded(core::Form2& form2)
{
    if (form2.loaded)
        return;
    form2 = core::Form2 {};
    form2.loaded = true;
}

void unload(core::Form2& form2) { form2 = core::Form2 {}; }

int chosenXColumn(const core::Form2& form2)
{
    if (form2.Option1)
        return 1;
    if (form2.Option2)
        return 2;
    if (form2.Option3)
        return 3;
    return 0;
}

void chooseXOption(core::Form2& form2, int column)
{
    form2.Option1 = column == 1;
    form2.Option2 = column == 2;
    form2.Option3 = column == 3;
}

void setXOptionVisible(core::Form2& form2, int column, bool visible)
{
    switch (column) {
    case 1:
        form2.Option1Visible = visible;
        break;
    case 2:
        form2.Option2Visible = visible;
        break;
    case 3:
        form2.Option3Visible = visible;
        break;
    default:
        throw std::out_of_range("no X option " + std::to_string(column));
    }
}

void setFixedValueVisible(core::Form2& form2, int column, bool visible)
{
    switch (column) {
    case 1:
        form2.Label1Visible = form2.Text1Visible = visible;
        break;
    case 2:
        form2.Label2Visible = form2.Text2Visible = visible;
        break;
    case 3:
        form2.Label3Visible = form2.Text3Visible = visible;
        break;
    default:
        throw std::out_of_range("no fixed value " + std::to_string(column));
    }
}

std::string& fixedValueText(core::Form2& form2, int column)
{
    switch (column) {
    case 1:
        return form2.Text1;
    case 2:
        return form2.Text2;
    case 3:
        return form2.Text3;
    default:
        throw std::out_of_range("no fixed value " + std::to_string(column));
    }
}

void hideFixedValues(core::Form2& form2)
{
    for (int column = 1; column <= 3; ++column)
        setFixedValueVisible(form2, column, false);
}

int defaultArrangement(core::ModelId model)
{
    if (core::hasTwoNumberGroups(model) || model == core::kPolynomialModel)
        return 2;
    if (core::hasThreeNumberGroups(model))
        return 7;
    return 19;
}

int groupSizeOf(int arrangement)
{
    switch (arrangement) {
    case 2:
        return 2;
    case 7:
        return 3;
    default:
        return 4;
    }
}

core::ModelId chartModel(const core::ScratchStore& store)
{
    return core::toInteger16(store.readNumbers(core::ScratchFile::Xx, 4)[3]);
}

} // namespace quantem::chart
