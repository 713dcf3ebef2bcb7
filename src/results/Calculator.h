#pragma once

#include "core/Session.h"

#include <string>

namespace quantem::results {

/// The calculator's input boxes: Text1..Text3 hold x1..x3.
enum class CalculatorInput
{
    Text1 = 1,
    Text2 = 2,
    Text3 = 3
};

/// Texts the calculator puts into Form5 when inputs are missing.
inline constexpr const char* kInputDimensionText = "  Input the dimension!";
inline constexpr const char* kInputDimensionsText = "  Input the dimension! !";

/// Shows the calculator window Form11. A window that is not loaded is loaded afresh first: it
/// reads the ModelId from xx.sys and enables the inputs the model takes (Text1 for two-number
/// models, Text1 and Text2 for three-number models, all three for four-number models); any other
/// ModelId leaves the boxes as a fresh window has them, all enabled. An open window is only
/// shown again. Throws the store's faults (53, 62, 13) and 6 for a ModelId beyond 16 bits; the
/// window then stays unloaded.
void showCalculator(core::Session& session);

/// A change of an input box, typed or set by the program: the new text, and status panel 2 says
/// which dimension is being entered. Setting the text a box already has is no change.
void changeCalculatorInput(core::Session& session, CalculatorInput input, const std::string& text);

/// Calculate (Command1): y of the current model (ModelId from xx.sys) at the typed inputs, with
/// the coefficients as the main window's labels Label2..Label8 and Label11..Label16 show them
/// (the number each label begins with, 0 for none), into Text4 as display text; Text4 empty for a
/// model outside 1..50. A missing input shows Form5 "  Input the dimension!" (two-number models)
/// or "  Input the dimension! !" and computes nothing. An invalid argument (Log of x <= 0, a
/// negative base with a fractional exponent) shows Form5 with the text it holds; any other
/// failure (overflow, division by zero) ends the calculation silently; both leave Text4 as it
/// was. An input the formula uses that is not a number empties Text4 and says so in status
/// panel 1. Reading xx.sys or a label beyond the double range is
/// not trapped here: it throws the store's faults or 6.
void calculate(core::Session& session);

/// Clear (Command2): empties Text1..Text4; emptying an input box is a change of it.
void clearCalculator(core::Session& session);

/// Help (Command3): opens the help page; a failure is told in status panel 1.
void calculatorHelp(core::Session& session);

/// Close (Command4): unloads the window.
void closeCalculator(core::Session& session);

/// Closing the window by its title bar: unloads it; the next showing starts afresh.
void unloadCalculator(core::Session& session);

} // namespace quantem::results
