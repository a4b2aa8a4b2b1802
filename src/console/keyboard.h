// The key reader: console events to 16-bit key codes, the queue of
// keystrokes typed back by the pop-ups, and the Alt+X and Alt+C hot keys.
//
// A key code is a signed 16-bit value held in an int: the character code
// for a key that types one (Enter 13, Escape 27), the scan code * 256 for
// one that does not (F1 0x3B00, Up 0x4800); codes from 0x8000 up are
// negative (F11 is KeyCode(0x8500)).
#pragma once

#include <cstdint>
#include <string>

#include "console/console_state.h"

namespace console {

constexpr int KeyCode(unsigned value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
}

inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeyTab = 9;
inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyCtrlC = 3;
inline constexpr int kKeyCtrlV = 22;
inline constexpr int kKeyCtrlY = 25;
inline constexpr int kKeyShiftTab = 0x0F00;
inline constexpr int kKeyHome = 0x4700;
inline constexpr int kKeyF1 = 0x3B00;
inline constexpr int kKeyF2 = 0x3C00;
inline constexpr int kKeyF4 = 0x3E00;
inline constexpr int kKeyPageUp = 0x4900;
inline constexpr int kKeyPageDown = 0x5100;
inline constexpr int kKeyUp = 0x4800;
inline constexpr int kKeyLeft = 0x4B00;
inline constexpr int kKeyRight = 0x4D00;
inline constexpr int kKeyEnd = 0x4F00;
inline constexpr int kKeyDown = 0x5000;
inline constexpr int kKeyInsert = 0x5200;
inline constexpr int kKeyDelete = 0x5300;
inline constexpr int kKeyCtrlLeft = 0x7300;
inline constexpr int kKeyCtrlRight = 0x7400;
inline constexpr int kKeyCtrlHome = 0x7700;
inline constexpr int kKeyCtrlF4 = 0x6100;
inline constexpr int kKeyAltF4 = 0x6B00;
inline constexpr int kKeyAltX = 0x2D00;
inline constexpr int kKeyAltC = 0x2E00;

// One event as a key.  A queued keystroke comes first (then only key is
// set).  Otherwise waits for the next console event: Alt held with keypad
// digits gives the character (value mod 256); function keys with Alt, Ctrl
// or Shift and Ctrl+Home/Left/Right get their own codes; a mouse button
// release sets button (1 left, 2 right) and the pointer's cell with key 0;
// anything else that is not a key gives key 0.  Alt+X and Alt+C run the
// calculator or the calendar hook, when registered and not already running,
// and queue the text it returns; the hot key itself is still returned.
void ReadKey(int& key, int& button, int& mouseRow, int& mouseColumn);

// ReadKey until a key or a click comes; a click is column * 256 +
// button * 64 + row.
void WaitKey(int& key);

// Registers the pop-ups run by Alt+X (calculator) and Alt+C (calendar).
// Until registered the hot keys are only returned as keys.
void SetHotKeyHooks(PopUpHook calculator, PopUpHook calendar);

}  // namespace console
