// What one key does to the calculator's state: typing, the operator steps
// with their tape lines, sign change, moving, and the result text.
#pragma once

#include <string>

#include "console/calculator_state.h"

namespace console {

// What the screen needs after a key.
enum class CalculatorAction {
  kRedraw,  // draw the calculator again where it is
  kReopen,  // moved, or the tape was hidden: close the window, open it anew, draw
  kFinish,  // F or Alt+F: leave with CalculatorResult
  kCancel,  // Escape: leave with the empty text
};

// Applies one key code (as WaitKey gives it) to the state.
CalculatorAction CalculatorKey(CalculatorState& state, int key);

// The value for the field: the active entry, or else the accumulator, in
// hundredths (12.5 gives "1250"); with d > 2 decimals a "." stands before
// the last d - 2 digits (12.345 gives "1234.5").  No sign.  The empty text
// for an infinite or undefined value.
std::string CalculatorResult(const CalculatorState& state);

}  // namespace console
