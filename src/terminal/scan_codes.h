// Scan codes of the PC keyboard, as carried by console key events.
#pragma once

#include <cstdint>

namespace terminal {

namespace scan {
inline constexpr std::uint8_t kEscape = 0x01, kBackspace = 0x0E, kTab = 0x0F, kEnter = 0x1C,
                              kAlt = 0x38, kSpace = 0x39, kF1 = 0x3B, kF10 = 0x44, kHome = 0x47,
                              kUp = 0x48, kPageUp = 0x49, kLeft = 0x4B, kCentre = 0x4C,
                              kRight = 0x4D, kEnd = 0x4F, kDown = 0x50, kPageDown = 0x51,
                              kInsert = 0x52, kDelete = 0x53, kF11 = 0x85, kF12 = 0x86;
}  // namespace scan

// The scan code of the key that types an ASCII character: letters (either
// case), digits, space, Enter 13, Escape 27, Backspace 8, Tab 9, and the
// Ctrl+letter bytes 1..26; 0 for any other character.
std::uint8_t ScanCodeOfCharacter(std::uint8_t character);

}  // namespace terminal
