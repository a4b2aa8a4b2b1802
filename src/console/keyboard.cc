// Console events to key codes.  The console reports keys the way the Win32
// console did (character, scan code, control-key state); the codes the
// program works with are the classic PC extended codes, so the modifier
// combinations of the function keys and of Home, Left and Right are folded
// in here.
#include "console/keyboard.h"

#include <utility>

#include "terminal/cell_buffer.h"

namespace console {
namespace {

constexpr std::uint8_t kAltScanCode = 0x38;

// The digit an Alt+keypad key stands for (the keypad with Num Lock off
// reports navigation keys), or -1.
int KeypadDigit(std::uint8_t scanCode) {
  switch (scanCode) {
    case 0x52:
      return 0;
    case 0x4F:
      return 1;
    case 0x50:
      return 2;
    case 0x51:
      return 3;
    case 0x4B:
      return 4;
    case 0x4C:
      return 5;
    case 0x4D:
      return 6;
    case 0x47:
      return 7;
    case 0x48:
      return 8;
    case 0x49:
      return 9;
    default:
      return -1;
  }
}

bool LeftAltHeld(const terminal::ConsoleEvent& e) {
  return e.kind == terminal::EventKind::kKey && (e.controlKeys & terminal::kLeftAlt) != 0;
}

// Collects keypad digits while left Alt is held; returns the event that
// ended the collection, replaced by the typed character when digits came.
terminal::ConsoleEvent CollectAltKeypad(terminal::ConsoleEvent e) {
  bool anyDigit = false;
  int value = 0;
  while (LeftAltHeld(e)) {
    const int digit = e.character == 0 ? KeypadDigit(e.scanCode) : -1;
    if (digit >= 0 && e.keyDown) {
      anyDigit = true;
      value = (value * 10 + digit) % 256;
    } else if (!(e.character == 0 && (e.scanCode == 0 || e.scanCode == kAltScanCode))) {
      break;
    }
    e = terminal::NextConsoleEvent();
  }
  if (anyDigit) {
    e = terminal::ConsoleEvent{};
    e.kind = terminal::EventKind::kKey;
    e.character = static_cast<std::uint8_t>(value);
  }
  return e;
}

bool InRange(unsigned code, unsigned first, unsigned last) {
  return code >= first && code <= last;
}

// The key code of a key event with its modifiers folded in.
int KeyOf(const terminal::ConsoleEvent& e) {
  if (!e.keyDown) return 0;
  if (e.character != 0) return e.character;
  unsigned code = static_cast<unsigned>(e.scanCode) << 8;
  const bool f1to10 = InRange(code, 0x3B00, 0x4400);
  const bool f11or12 = code == 0x8500 || code == 0x8600;
  if (code == 0x1200) return 0xD5;  // Alt+E without a character
  if (e.controlKeys & terminal::kAnyAlt) {
    if (f1to10) code += 0x2D00;
    if (f11or12) code += 0x600;
  } else if (e.controlKeys & terminal::kAnyCtrl) {
    if (f1to10) code += 0x2300;
    if (f11or12) code += 0x400;
    if (code == kKeyHome) code = kKeyCtrlHome;
    if (code == kKeyRight) code = kKeyCtrlRight;
    if (code == kKeyLeft) code = kKeyCtrlLeft;
  } else if (e.controlKeys & terminal::kShift) {
    if (f1to10) code += 0x1900;
    if (f11or12) code += 0x200;
  }
  return KeyCode(code);
}

// Runs a pop-up for a hot key and queues what it returns.
void RunHotKey(const PopUpHook& hook, bool& busy) {
  if (busy || !hook) return;
  busy = true;
  Console().pendingKeys += hook();
  busy = false;
}

}  // namespace

void ReadKey(int& key, int& button, int& mouseRow, int& mouseColumn) {
  ConsoleState& s = Console();
  if (!s.pendingKeys.empty()) {
    key = static_cast<unsigned char>(s.pendingKeys.front());
    s.pendingKeys.erase(0, 1);
    return;
  }
  if (s.mouse == MouseState::kUnchecked) {
    s.mouse = terminal::MouseButtonCount() == 0 ? MouseState::kAbsent : MouseState::kOff;
  }
  if (s.mouse == MouseState::kOff) s.mouse = MouseState::kOn;
  key = button = mouseRow = mouseColumn = 0;

  const terminal::ConsoleEvent e = CollectAltKeypad(terminal::NextConsoleEvent());
  s.inputEnded = e.kind == terminal::EventKind::kEndOfInput;
  if (e.kind == terminal::EventKind::kKey || e.kind == terminal::EventKind::kEndOfInput) {
    key = KeyOf(e);
  } else if (e.kind == terminal::EventKind::kMouseRelease && s.mouse == MouseState::kOn) {
    button = e.button;
    mouseRow = e.row;
    mouseColumn = e.column;
  }
  if (key == kKeyAltX) RunHotKey(s.calculator, s.calculatorBusy);
  if (key == kKeyAltC) RunHotKey(s.calendar, s.calendarBusy);
  if (s.mouse == MouseState::kOn && (key != 0 || button != 0)) s.mouse = MouseState::kOff;
}

void WaitKey(int& key) {
  int button = 0;
  int row = 0;
  int column = 0;
  do {
    ReadKey(key, button, row, column);
  } while (key == 0 && button == 0);
  if (key == 0) key = column * 256 + button * 64 + row;
}

void SetHotKeyHooks(PopUpHook calculator, PopUpHook calendar) {
  Console().calculator = std::move(calculator);
  Console().calendar = std::move(calendar);
}

}  // namespace console
