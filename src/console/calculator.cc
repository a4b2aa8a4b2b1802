// The calculator on the screen: the tape above, the entry on row 24, all
// within a box drawn at absolute screen rows; the window under it is
// reopened whenever the box moves or the tape is hidden, so that the screen
// beneath shows through again where the box no longer is.
#include "console/calculator.h"

#include "console/calculator_keys.h"
#include "console/calculator_state.h"
#include "console/cells.h"
#include "console/keyboard.h"
#include "console/popup_frame.h"
#include "console/window.h"
#include "format/picture.h"
#include "terminal/cell_buffer.h"

namespace console {
namespace {

constexpr int kEntryRow = 24;
constexpr int kLastRow = 25;
const std::string kHorizontal(kCalculatorWidth - 2, '\xC4');

// Twenty-two characters: thousands separators, the decimals asked for.
std::string ShownNumber(double value, bool point, int decimals) {
  const std::string digits = "Z,ZZZ,ZZZ,ZZZ,ZZZ,ZZ9" + std::string(point ? "." : "") +
                             std::string(static_cast<size_t>(decimals), '9');
  return format::FormatPicture("-" + digits.substr(digits.size() - 21), value);
}

void DrawEntry(const CalculatorState& s) {
  const std::string number = ShownNumber(s.entry, s.point, s.decimals);
  WriteAt(kEntryRow, s.leftColumn, "\xB3" + number + "  \xB3");
}

void DrawAll(const CalculatorState& s) {
  SetColour("n");
  const int c = s.leftColumn;
  const bool tapeShown = s.tapeTop < kNoTape;
  if (tapeShown) WriteAt(s.tapeTop - 1, c, "\xDA" + kHorizontal + "\xBF");
  for (int row = s.tapeTop; row <= kTapeSlots; ++row) {
    const TapeLine& line = s.tape[static_cast<size_t>(row - 1)];
    const std::string number = ShownNumber(line.value, line.point, line.decimals);
    WriteAt(row, c, "\xB3" + number + " " + line.mark + "\xB3");
  }
  WriteAt(kEntryRow - 1, c,
          tapeShown ? "\xC3" + kHorizontal + "\xB4" : "\xDA" + kHorizontal + "\xBF");
  DrawEntry(s);
  WriteAt(kLastRow, c, "\xC0" + kHorizontal + "\xD9");
}

bool OpenCalculatorWindow(const CalculatorState& s) {
  return OpenPopUpWindow(1, s.leftColumn, kLastRow, s.leftColumn + kCalculatorWidth - 1);
}

// The key loop, inside an open window.  Returns the text for the field;
// the window is closed when it returns.
std::string RunCalculator(CalculatorState& s) {
  DrawAll(s);
  for (;;) {
    SetColour("n");
    DrawEntry(s);
    int key = 0;
    WaitKey(key);
    switch (CalculatorKey(s, key)) {
      case CalculatorAction::kRedraw:
        DrawAll(s);
        break;
      case CalculatorAction::kReopen:
        CloseWindow();
        if (!OpenCalculatorWindow(s)) return {};
        DrawAll(s);
        break;
      case CalculatorAction::kFinish:
        CloseWindow();
        return CalculatorResult(s);
      case CalculatorAction::kCancel:
        CloseWindow();
        return {};
    }
  }
}

}  // namespace

std::string ShowCalculator() {
  const CallerExitKeys exitKeys("e", "");
  const bool cursorWasVisible = terminal::CursorVisible();
  SetColour("+n");
  terminal::ShowCursor(false);
  CalculatorState state = LoadCalculatorState();
  const std::string result = OpenCalculatorWindow(state) ? RunCalculator(state) : std::string();
  SaveCalculatorState(state);
  terminal::ShowCursor(cursorWasVisible);
  SetColour("-");
  return result;
}

}  // namespace console
