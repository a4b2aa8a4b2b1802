// Program-wide state of the console core: the current window, the colour
// index and its stack, the keyboard queue and editor settings, and the hooks
// through which start-up plugs in the calculator and the calendar.  One
// instance, reached through Console().
#pragma once

#include <functional>
#include <string>

#include "config/tell_operator.h"

namespace console {

// A window rectangle in screen coordinates (1-based), frame included.
struct WindowRect {
  int top = 0;
  int left = 0;
  int bottom = 0;
  int right = 0;
  bool operator==(const WindowRect&) const = default;
};

// Mouse input as the key reader tracks it.
enum class MouseState { kUnchecked, kOn, kOff, kAbsent };

// A pop-up run from the key wait; returns the text to type into the field
// (empty when the operator left it with Escape).
using PopUpHook = std::function<std::string()>;

struct ConsoleState {
  // Windows: the innermost open window and how many are open.
  int depth = 0;
  WindowRect window;

  // Colours: the index last selected and the saved indexes (last on top).
  int colourIndex = 0;
  std::string colourStack;

  // Keyboard.
  std::string pendingKeys;  // typed back by the pop-ups, read first
  bool calculatorBusy = false;
  bool calendarBusy = false;
  MouseState mouse = MouseState::kUnchecked;
  bool inputEnded = false;  // the last event read was the end of input

  // Field editor settings, kept between fields.
  std::string exitKeys;     // 2-byte little-endian key codes
  std::string exitResults;  // parallel: the code returned for each exit key
  std::string savedExitKeys;
  std::string savedExitResults;
  bool exitListsSaved = false;
  int maskCharacter = 0;  // 0: show the text; else the byte shown instead
  std::string choiceList;

  // Hooks filled by start-up; empty until then.
  PopUpHook calculator;
  PopUpHook calendar;
  // Also receives every message box's text; set when no terminal shows the
  // screen (unattended runs), so that the messages are not lost.
  config::TellOperator messageEcho;
};

// The reset of the program state (platform/program_state.h) puts it back
// as a run starts: no windows, colour 0, empty lists, no hooks.
ConsoleState& Console();

}  // namespace console
