// Character to scan code on the PC keyboard's US layout.
#include "terminal/scan_codes.h"

namespace terminal {

std::uint8_t ScanCodeOfCharacter(std::uint8_t b) {
  static constexpr char kTopRow[] = "qwertyuiop";  // 0x10..0x19
  static constexpr char kHomeRow[] = "asdfghjkl";  // 0x1E..0x26
  static constexpr char kBottomRow[] = "zxcvbnm";  // 0x2C..0x32
  switch (b) {
    case 27:
      return scan::kEscape;
    case 8:
      return scan::kBackspace;
    case 9:
      return scan::kTab;
    case 13:
      return scan::kEnter;
    case ' ':
      return scan::kSpace;
    case '0':
      return 0x0B;
    default:
      break;
  }
  if (b >= 1 && b <= 26) b = static_cast<std::uint8_t>('a' + b - 1);
  if (b >= 'A' && b <= 'Z') b = static_cast<std::uint8_t>(b + 32);
  if (b >= '1' && b <= '9') return static_cast<std::uint8_t>(0x02 + b - '1');
  for (int i = 0; kTopRow[i]; ++i) {
    if (b == kTopRow[i]) return static_cast<std::uint8_t>(0x10 + i);
  }
  for (int i = 0; kHomeRow[i]; ++i) {
    if (b == kHomeRow[i]) return static_cast<std::uint8_t>(0x1E + i);
  }
  for (int i = 0; kBottomRow[i]; ++i) {
    if (b == kBottomRow[i]) return static_cast<std::uint8_t>(0x2C + i);
  }
  return 0;
}

}  // namespace terminal
