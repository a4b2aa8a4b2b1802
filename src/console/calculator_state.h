// The pop-up calculator's state and its file KELCALC.TMP, kept in the
// terminal directory between uses and between runs.
//
// The file is text, lines ended by CR LF, values separated by commas,
// numbers in plain decimal text, texts between double quotes:
//   left column, tape top, entry, accumulator
//   cleared, entry active, point, decimals      (flags -1 or 0)
//   "key", "pending operator"
//   22 lines, tape slots 1 to 22: value, point, decimals, "mark"
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace console {

inline constexpr int kTapeSlots = 22;
// The calculator is 26 columns wide on an 80-column screen.
inline constexpr int kCalculatorWidth = 26;
inline constexpr int kLastLeftColumn = 80 - kCalculatorWidth + 1;
// Tape top when no tape line is shown; lines are shown from tape top to 22.
inline constexpr int kNoTape = 23;
inline constexpr int kFirstTapeRow = 2;
// More decimals than a double holds are neither typed nor read.
inline constexpr int kMaxDecimals = 15;

struct TapeLine {
  double value = 0;
  bool point = false;
  int decimals = 0;
  char mark = ' ';
};

struct CalculatorState {
  int leftColumn = 1;
  int tapeTop = kNoTape;
  double entry = 0;
  double accumulator = 0;
  bool cleared = true;  // a full clear was the last action
  bool entryActive = false;
  bool point = false;
  int decimals = 0;
  std::string key;                        // last key: its character, or two bytes (low, high)
  std::string pendingOperator;            // "+", "-", "*", "/" or empty
  std::array<TapeLine, kTapeSlots> tape;  // tape[21] is the newest line
};

// The state a file holds: the values in order, whatever the line breaks,
// four per tape slot until the text ends.  A value that is missing or not
// a number keeps its initial value; a column, tape top or decimals out of
// range, an unknown operator or a flag other than a number is taken as the
// initial value too, so any text gives a state the calculator can show.
CalculatorState ReadCalculatorState(std::string_view text);
// The file text of a state.  Double quotes inside texts are dropped.
std::string WriteCalculatorState(const CalculatorState& state);

// TerminalDir followed by "KELCALC.TMP".
std::string CalculatorStateFile();
// The state in the file (the initial state when the file is missing or
// empty; a missing file is created empty).
CalculatorState LoadCalculatorState();
// Replaces the file's content with the state.
void SaveCalculatorState(const CalculatorState& state);

}  // namespace console
