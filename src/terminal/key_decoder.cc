// Key decoding: one pass over the start of the buffer per event.
#include "terminal/key_decoder.h"

#include <cstdint>
#include <vector>

#include "platform/cp850.h"
#include "terminal/scan_codes.h"

namespace terminal {
namespace {

enum class Result { kEvent, kSkip, kIncomplete };

struct Decoded {
  Result result = Result::kSkip;
  size_t length = 0;  // bytes taken (kEvent, kSkip)
  ConsoleEvent event;
};

Decoded Skip(size_t length) {
  return Decoded{Result::kSkip, length, {}};
}
Decoded Incomplete() {
  return Decoded{Result::kIncomplete, 0, {}};
}

Decoded Key(size_t length, std::uint8_t character, std::uint8_t scanCode, std::uint16_t keys) {
  Decoded d{Result::kEvent, length, {}};
  d.event.kind = EventKind::kKey;
  d.event.character = character;
  d.event.scanCode = scanCode;
  d.event.controlKeys = keys;
  return d;
}

// Control keys from an xterm modifier parameter (1 + Shift 1, Alt 2, Ctrl 4,
// Meta 8, which counts as Alt).
std::uint16_t KeysFromModifier(int m) {
  if (m < 2) return 0;
  m -= 1;
  std::uint16_t keys = 0;
  if (m & 1) keys |= kShift;
  if (m & (2 | 8)) keys |= kLeftAlt;
  if (m & 4) keys |= kLeftCtrl;
  return keys;
}

// The event of a key that types the code page 850 byte b with the given
// control keys held.
Decoded CharacterKey(size_t length, std::uint8_t b, std::uint16_t keys) {
  const std::uint8_t scanCode = ScanCodeOfCharacter(b);
  if (b == 127 || b == 8) return Key(length, 8, scan::kBackspace, keys);
  if (b == 9 && (keys & kShift)) return Key(length, 0, scan::kTab, keys);
  if (b >= 'A' && b <= 'Z') keys |= kShift;
  if ((keys & kAnyAlt) && scanCode != 0 && b > 32) return Key(length, 0, scanCode, keys);
  const bool letter = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z');
  if ((keys & kAnyCtrl) && letter) return Key(length, b & 31, scanCode, keys);
  if (b >= 1 && b <= 26 && b != 8 && b != 9 && b != 13) keys |= kLeftCtrl;
  return Key(length, b, scanCode, keys);
}

// A Unicode key (CSI u, modifyOtherKeys): characters outside code page 850
// give nothing.
Decoded UnicodeKey(size_t length, long code, std::uint16_t keys) {
  const int b = code >= 0 && code <= 0x10FFFF ? platform::Cp850FromUnicode(static_cast<char32_t>(code)) : -1;
  if (b < 0) return Skip(length);
  return CharacterKey(length, static_cast<std::uint8_t>(b), keys);
}

// Keys of "ESC [ n ~" (xterm, VT220, Linux console, PuTTY, rxvt).  The
// codes 25..34 that follow F12 are what rxvt and the Linux console send for
// Shift+F3..F10.
bool TildeKey(long n, std::uint8_t* scanCode, std::uint16_t* keys) {
  switch (n) {
    case 1:
    case 7:
      *scanCode = scan::kHome;
      return true;
    case 2:
      *scanCode = scan::kInsert;
      return true;
    case 3:
      *scanCode = scan::kDelete;
      return true;
    case 4:
    case 8:
      *scanCode = scan::kEnd;
      return true;
    case 5:
      *scanCode = scan::kPageUp;
      return true;
    case 6:
      *scanCode = scan::kPageDown;
      return true;
    case 23:
      *scanCode = scan::kF11;
      return true;
    case 24:
      *scanCode = scan::kF12;
      return true;
    default:
      break;
  }
  static constexpr long kFunction[] = {11, 12, 13, 14, 15, 17, 18, 19, 20, 21};
  static constexpr long kShiftedFunction[] = {25, 26, 28, 29, 31, 32, 33, 34};
  for (int i = 0; i < 10; ++i) {
    if (n == kFunction[i]) {
      *scanCode = static_cast<std::uint8_t>(scan::kF1 + i);
      return true;
    }
  }
  for (int i = 0; i < 8; ++i) {
    if (n == kShiftedFunction[i]) {
      *scanCode = static_cast<std::uint8_t>(scan::kF1 + 2 + i);
      *keys |= kShift;
      return true;
    }
  }
  return false;
}

// Keys named by a final letter in CSI and SS3 sequences.
std::uint8_t LetterKey(char final) {
  switch (final) {
    case 'A':
      return scan::kUp;
    case 'B':
      return scan::kDown;
    case 'C':
      return scan::kRight;
    case 'D':
      return scan::kLeft;
    case 'E':
      return scan::kCentre;
    case 'H':
      return scan::kHome;
    case 'F':
      return scan::kEnd;
    case 'P':
    case 'Q':
    case 'R':
    case 'S':
      return static_cast<std::uint8_t>(scan::kF1 + final - 'P');
    default:
      return 0;
  }
}

// rxvt's lower-case arrows: a..d are Up, Down, Right, Left.
std::uint8_t RxvtArrow(char final) {
  return final >= 'a' && final <= 'd' ? LetterKey(static_cast<char>(final - 32)) : 0;
}

struct Csi {
  char prefix = 0;  // '<', '?', '>' or 0
  std::vector<long> params;
  char final = 0;
  size_t length = 0;  // whole sequence, ESC included
};

long Param(const Csi& csi, size_t i, long fallback) {
  return i < csi.params.size() && csi.params[i] >= 0 ? csi.params[i] : fallback;
}

// Reads "ESC [" parameters up to the final byte.  Only the first number of
// each ";" group counts (":" sub-parameters are skipped).  False while the
// sequence has no final byte yet.
bool ParseCsi(std::string_view in, Csi* csi) {
  size_t i = 2;
  if (i < in.size() && (in[i] == '<' || in[i] == '?' || in[i] == '>')) csi->prefix = in[i++];
  long value = -1;
  bool sub = false;
  for (; i < in.size(); ++i) {
    const char c = in[i];
    if (c >= '0' && c <= '9') {
      if (!sub) value = (value < 0 ? 0 : value) * 10 + (c - '0');
      if (value > 0xFFFFFF) value = 0xFFFFFF;
    } else if (c == ';') {
      csi->params.push_back(value);
      value = -1;
      sub = false;
    } else if (c == ':') {
      sub = true;
    } else if ((c >= 0x40 && c <= 0x7E) || c == '$') {
      csi->params.push_back(value);
      csi->final = c;
      csi->length = i + 1;
      return true;
    } else if (c < 0x20 || c > 0x7E) {
      csi->final = '\0';  // broken sequence: ends before this byte
      csi->length = i;
      return true;
    }
  }
  return false;
}

Decoded SgrMouse(const Csi& csi) {
  const long b = Param(csi, 0, 0);
  if (csi.final != 'm' || (b & (32 | 64)) != 0) return Skip(csi.length);
  const int button = (b & 3) == 0 ? 1 : (b & 3) == 2 ? 2 : 0;
  if (button == 0) return Skip(csi.length);
  Decoded d{Result::kEvent, csi.length, {}};
  d.event.kind = EventKind::kMouseRelease;
  d.event.button = button;
  d.event.column = static_cast<int>(Param(csi, 1, 0));
  d.event.row = static_cast<int>(Param(csi, 2, 0));
  if (b & 4) d.event.controlKeys |= kShift;
  if (b & 8) d.event.controlKeys |= kLeftAlt;
  if (b & 16) d.event.controlKeys |= kLeftCtrl;
  return d;
}

Decoded CsiKey(const Csi& csi) {
  if (csi.prefix == '<') return SgrMouse(csi);
  if (csi.prefix != 0 || csi.final == '\0') return Skip(csi.length);
  const long first = Param(csi, 0, 1);
  std::uint16_t keys = KeysFromModifier(static_cast<int>(Param(csi, 1, 1)));
  std::uint8_t scanCode = LetterKey(csi.final);
  switch (csi.final) {
    case '~':
      if (first == 27) return UnicodeKey(csi.length, Param(csi, 2, -1), keys);
      break;
    case '$':
      keys = kShift;
      break;
    case '^':
      keys = kLeftCtrl;
      break;
    case '@':
      keys = kLeftCtrl | kShift;
      break;
    case 'u':
      return UnicodeKey(csi.length, first, keys);
    case 'Z':
      return Key(csi.length, 0, scan::kTab, kShift | keys);
    default:
      if (RxvtArrow(csi.final) != 0) return Key(csi.length, 0, RxvtArrow(csi.final), kShift);
      if (scanCode == 0) return Skip(csi.length);
      return Key(csi.length, 0, scanCode, keys);
  }
  if (!TildeKey(first, &scanCode, &keys)) return Skip(csi.length);
  return Key(csi.length, 0, scanCode, keys);
}

// SS3 keypad keys in application mode: the character they type.
char KeypadCharacter(char final) {
  if (final >= 'p' && final <= 'y') return static_cast<char>('0' + final - 'p');
  switch (final) {
    case 'M':
      return 13;
    case 'I':
      return 9;
    case 'j':
      return '*';
    case 'k':
      return '+';
    case 'm':
      return '-';
    case 'n':
      return '.';
    case 'o':
      return '/';
    case 'X':
      return '=';
    default:
      return 0;
  }
}

Decoded Ss3Key(std::string_view in, bool timedOut) {
  size_t i = 2;
  long modifier = 0;
  while (i < in.size() && in[i] >= '0' && in[i] <= '9' && i < 6)
    modifier = modifier * 10 + (in[i++] - '0');
  if (i >= in.size()) {
    if (!timedOut) return Incomplete();
    return i == 2 ? CharacterKey(2, 'O', kLeftAlt) : Skip(i);
  }
  const char final = in[i];
  const size_t length = i + 1;
  std::uint16_t keys = KeysFromModifier(static_cast<int>(modifier));
  if (const char c = KeypadCharacter(final)) {
    return CharacterKey(length, static_cast<std::uint8_t>(c), keys);
  }
  if (RxvtArrow(final) != 0) return Key(length, 0, RxvtArrow(final), kLeftCtrl);
  const std::uint8_t scanCode = LetterKey(final);
  if (scanCode == 0) return Skip(length);
  if (final >= 'A' && final <= 'D') keys |= kLeftCtrl;
  return Key(length, 0, scanCode, keys);
}

Decoded DecodeAt(std::string_view in, bool timedOut);

Decoded EscapeSequence(std::string_view in, bool timedOut) {
  if (in.size() == 1) return timedOut ? Key(1, 27, scan::kEscape, 0) : Incomplete();
  const char second = in[1];
  if (second == '[') {
    if (in.size() >= 3 && in[2] == '[') {  // Linux console F1..F5
      if (in.size() < 4) return timedOut ? Skip(3) : Incomplete();
      if (in[3] >= 'A' && in[3] <= 'E')
        return Key(4, 0, static_cast<std::uint8_t>(scan::kF1 + in[3] - 'A'), 0);
      return Skip(4);
    }
    if (in.size() >= 3 && in[2] == 'M') {  // X10 mouse report: three bytes follow
      if (in.size() < 6) return timedOut ? Skip(in.size()) : Incomplete();
      return Skip(6);
    }
    Csi csi;
    if (ParseCsi(in, &csi)) return CsiKey(csi);
    if (in.size() > KeyDecoder::kMaxSequence) return Skip(in.size());
    if (!timedOut) return Incomplete();
    return in.size() == 2 ? CharacterKey(2, '[', kLeftAlt) : Skip(in.size());
  }
  if (second == 'O') return Ss3Key(in, timedOut);
  // Two ESCs are Alt only in front of a sequence (rxvt's Alt+arrows);
  // otherwise they are Escape pressed twice.
  if (second == 27) {
    if (in.size() == 2 && !timedOut) return Incomplete();
    if (in.size() == 2 || (in[2] != '[' && in[2] != 'O')) return Key(1, 27, scan::kEscape, 0);
  }
  // ESC before a key: that key with Alt held.
  Decoded d = DecodeAt(in.substr(1), timedOut);
  if (d.result == Result::kIncomplete) return d;
  d.length += 1;
  if (d.result == Result::kEvent && d.event.kind == EventKind::kKey) {
    if (d.event.character > 32 && d.event.character != 127 && d.event.scanCode != 0 &&
        !(d.event.controlKeys & kAnyCtrl)) {
      d.event.character = 0;
    }
    d.event.controlKeys |= kLeftAlt;
  }
  return d;
}

Decoded DecodeAt(std::string_view in, bool timedOut) {
  const auto b = static_cast<std::uint8_t>(in[0]);
  if (b == 27) return EscapeSequence(in, timedOut);
  if (b == 0) return Key(1, ' ', scan::kSpace, kLeftCtrl);
  if (b < 0x80) return CharacterKey(1, b, 0);
  const int length = platform::Utf8SequenceLength(b);
  if (length > 1 && in.size() < static_cast<size_t>(length)) {
    return timedOut ? Skip(1) : Incomplete();
  }
  size_t pos = 0;
  char32_t ch = 0;
  if (!platform::DecodeUtf8(in, &pos, &ch)) return Skip(pos);
  const int cp = platform::Cp850FromUnicode(ch);
  if (cp < 0) return Skip(pos);
  return CharacterKey(pos, static_cast<std::uint8_t>(cp), 0);
}

}  // namespace

bool KeyDecoder::Next(ConsoleEvent* event, bool timedOut) {
  while (!buffer_.empty()) {
    const Decoded d = DecodeAt(buffer_, timedOut);
    if (d.result == Result::kIncomplete) return false;
    buffer_.erase(0, d.length == 0 ? 1 : d.length);
    if (d.result == Result::kEvent) {
      *event = d.event;
      return true;
    }
  }
  return false;
}

}  // namespace terminal
