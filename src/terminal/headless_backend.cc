// Scripted input and text dumps for the headless console.
#include "terminal/headless_backend.h"

#include <cstdio>
#include <cstdlib>

#include "terminal/scan_codes.h"

namespace terminal {
void HeadlessConsole::PushEvent(const ConsoleEvent& event) {
  events_.push_back(event);
}

void HeadlessConsole::PushKey(std::uint8_t character, std::uint8_t scanCode,
                              std::uint16_t controlKeys) {
  ConsoleEvent e;
  e.kind = EventKind::kKey;
  e.character = character;
  e.scanCode = scanCode;
  e.controlKeys = controlKeys;
  PushEvent(e);
}

void HeadlessConsole::PushText(std::string_view text) {
  for (char ch : text) {
    const auto b = static_cast<std::uint8_t>(ch);
    std::uint16_t keys = 0;
    if (b >= 1 && b <= 26 && b != 8 && b != 9 && b != 13) keys = kLeftCtrl;
    if (b >= 'A' && b <= 'Z') keys = kShift;
    PushKey(b, ScanCodeOfCharacter(b), keys);
  }
}

void HeadlessConsole::PushAltKeypad(std::string_view digits) {
  static constexpr std::uint8_t kKeypad[10] = {0x52, 0x4F, 0x50, 0x51, 0x4B,
                                               0x4C, 0x4D, 0x47, 0x48, 0x49};
  for (char d : digits) {
    if (d >= '0' && d <= '9') PushKey(0, kKeypad[d - '0'], kLeftAlt);
  }
  ConsoleEvent release;
  release.kind = EventKind::kKey;
  release.scanCode = 0x38;
  release.keyDown = false;
  PushEvent(release);
}

void HeadlessConsole::PushClick(int row, int column, int button) {
  ConsoleEvent e;
  e.kind = EventKind::kMouseRelease;
  e.row = row;
  e.column = column;
  e.button = button;
  PushEvent(e);
}

void HeadlessConsole::Present(const ConsoleScreen&) {
  ++presents_;
}

ConsoleEvent HeadlessConsole::ReadEvent(bool wait) {
  if (!events_.empty()) {
    ConsoleEvent e = events_.front();
    events_.pop_front();
    return e;
  }
  if (!wait) return ConsoleEvent{};
  if (++dryReads_ >= kDryReadLimit) {
    std::fprintf(stderr, "headless console: input read %d times after the script ran dry\n",
                 dryReads_);
    std::abort();
  }
  ConsoleEvent end;
  end.kind = EventKind::kEndOfInput;
  end.character = 27;
  end.scanCode = 0x01;
  return end;
}

HeadlessConsole& UseHeadlessConsole() {
  ResetConsole();
  return static_cast<HeadlessConsole&>(CurrentConsoleBackend());
}

std::string ScreenText(int row, int column, int length) {
  std::string out;
  Cell cell;
  for (int c = column; c < column + length && ReadCell(row, c, &cell); ++c) {
    out.push_back(static_cast<char>(cell.character));
  }
  return out;
}

std::string ScreenRowText(int row) {
  std::string text = ScreenText(row, 1, kConsoleColumns);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string DumpScreen(bool withAttributes) {
  std::string out;
  for (int r = 1; r <= kConsoleRows; ++r) {
    out += ScreenRowText(r);
    if (withAttributes) {
      out += " |";
      const ConsoleScreen& s = CurrentScreen();
      for (int c = 1; c <= kConsoleColumns;) {
        const std::uint8_t a = s.At(r, c).attribute;
        int n = 0;
        while (c <= kConsoleColumns && s.At(r, c).attribute == a) ++c, ++n;
        char run[16];
        std::snprintf(run, sizeof run, "%s%02x*%d", out.back() == '|' ? "" : " ", a, n);
        out += run;
      }
    }
    out += '\n';
  }
  return out;
}

}  // namespace terminal
