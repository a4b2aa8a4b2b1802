// The pop-up calculator of Alt+X.
#pragma once

#include <string>

namespace console {

// Runs the adding machine in a 26-column strip of the screen (rows 1 to
// 25), starting from the state in KELCALC.TMP and writing the state back
// when it ends, Escape included.  Keys: digits and "." type the entry,
// Backspace takes back the last digit; "+", "-", "*", "/" apply the pending
// operator and wait for the next operand; "=" or Enter (while typing)
// close the sum; "%" takes a percentage (of the running result after "+"
// or "-"); R rounds to hundredths; T changes the sign; C clears the entry,
// then everything, then hides the tape; Left and Right (also with Ctrl)
// slide the calculator, wrapping at the screen's edges.  F or Alt+F return
// CalculatorResult (calculator_keys.h) for the field; Escape returns the
// empty text.  The screen, the colour, the cursor and the caller's exit
// keys are as before when it returns.
std::string ShowCalculator();

}  // namespace console
