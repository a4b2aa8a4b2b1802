// keytest: shows each decoded console event on the 80 x 25 screen, for
// checking a terminal's keys, mouse, colours and box characters by hand.
// Escape twice in a row ends it; F2 runs a shell (hand-over test).
#include <cstdio>
#include <string>

#include "platform/console.h"
#include "platform/process.h"
#include "platform/terminal_console.h"

namespace {

void DrawFrame() {
  platform::SetTextColour(15, 1);
  platform::SetCursorPosition(1, 1);
  platform::WriteText("\xC9" + std::string(78, '\xCD') + "\xBB");
  for (int r = 2; r < 25; ++r) {
    platform::SetCursorPosition(r, 1);
    platform::WriteText("\xBA" + std::string(78, ' ') + "\xBA");
  }
  platform::SetCursorPosition(25, 1);
  platform::WriteText("\xC8" + std::string(78, '\xCD') + "\xBC");
  platform::SetCursorPosition(2, 3);
  platform::WriteText("keytest: Escape twice ends, F2 runs a shell. \x80\x87\xA4\xA5 \x10\x11");
  for (int c = 0; c < 16; ++c) {
    platform::SetTextColour(c == 0 ? 15 : 0, c);
    platform::SetCursorPosition(3, 3 + c * 3);
    const std::string number = std::to_string(c);
    platform::WriteText(c < 10 ? " " + number + " " : number + " ");
  }
}

std::string Describe(const platform::ConsoleEvent& e) {
  char line[100];
  if (e.kind == platform::EventKind::kMouseRelease) {
    std::snprintf(line, sizeof line, "mouse button %d released at row %d column %d", e.button,
                  e.row, e.column);
  } else {
    std::snprintf(line, sizeof line, "key char %3u scan %02X keys %04X down %d code %04X",
                  e.character, e.scanCode, e.controlKeys, e.keyDown,
                  e.character != 0 ? e.character : e.scanCode * 256);
  }
  return line;
}

}  // namespace

int main() {
  if (!platform::UseTerminalConsole()) {
    std::fprintf(stderr, "keytest needs a terminal\n");
    return 1;
  }
  DrawFrame();
  int row = 5;
  int escapes = 0;
  for (;;) {
    const platform::ConsoleEvent e = platform::NextConsoleEvent();
    if (e.kind == platform::EventKind::kEndOfInput) break;
    escapes = e.kind == platform::EventKind::kKey && e.character == 27 ? escapes + 1 : 0;
    if (escapes == 2) break;
    if (e.kind == platform::EventKind::kKey && e.scanCode == 0x3C && e.character == 0) {
      platform::RunProgram("sh", {});
    }
    platform::SetTextColour(14, 1);
    platform::SetCursorPosition(row, 3);
    std::string line = Describe(e);
    line.resize(76, ' ');
    platform::WriteText(line);
    platform::SetCursorSize(e.scanCode == 0x52 ? 50 : 99);
    row = row == 23 ? 5 : row + 1;
  }
  platform::RestoreTerminal();
  return 0;
}
