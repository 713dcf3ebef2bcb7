#pragma once

#include "core/Form2.h"
#include "core/ModelCatalogue.h"
#include "core/ScratchStore.h"

namespace quantem::chart {

/// Loads the chart window if it is not loaded: a fresh load starts from the window's initial
/// values. A loaded window keeps its settings.
void ensureLoaded(core::Form2& form2);

/// Unloads the window: its settings and its cut chart are forgotten.
void unload(core::Form2& form2);

/// The X column chosen in "X Axis Setting" (1..3), or 0 when none is.
int chosenXColumn(const core::Form2& form2);
/// Chooses X column 1..3 (the option group allows one at a time).
void chooseXOption(core::Form2& form2, int column);

/// Shows or hides the X option, the fixed-value label and the fixed-value box of a column 1..3.
void setXOptionVisible(core::Form2& form2, int column, bool visible);
void setFixedValueVisible(core::Form2& form2, int column, bool visible);
/// The fixed-value box Text1..Text3 of a column 1..3.
std::string& fixedValueText(core::Form2& form2, int column);

/// Hides Label1..Label3 and Text1..Text3.
void hideFixedValues(core::Form2& form2);

/// The column arrangement the chart starts from for a model: 2 for two-number groups (1, 4,
/// 7..15 and 52), 7 for three-number groups (2, 5, 16..38), 19 for every other model. In these
/// arrangements y is the last column of a group.
int defaultArrangement(core::ModelId model);
/// Numbers per group of a default arrangement: 2, 3 or 4.
int groupSizeOf(int arrangement);

/// The ModelId, the fourth item of xx.sys. Throws the store's faults.
core::ModelId chartModel(const core::ScratchStore& store);

} // namespace quantem::chart
