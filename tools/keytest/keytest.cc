// keytest: shows each decoded console event on the 80 x 25 screen, for
// checking a terminal's keys, mouse, colours and box characters by hand.
// Escape twice in a row ends it; F2 runs a shell (hand-over test).
#include <cstdio>
#include <string>

#include "platform/process.h"
#include "terminal/cell_buffer.h"
#include "terminal/hand_over.h"
#include "terminal/tty_backend.h"

namespace {

void DrawFrame() {
  terminal::SetTextColour(15, 1);
  terminal::SetCursorPosition(1, 1);
  terminal::WriteText("\xC9" + std::string(78, '\xCD') + "\xBB");
  for (int r = 2; r < 25; ++r) {
    terminal::SetCursorPosition(r, 1);
    terminal::WriteText("\xBA" + std::string(78, ' ') + "\xBA");
  }
  terminal::SetCursorPosition(25, 1);
  terminal::WriteText("\xC8" + std::string(78, '\xCD') + "\xBC");
  terminal::SetCursorPosition(2, 3);
  terminal::WriteText("keytest: Escape twice ends, F2 runs a shell. \x80\x87\xA4\xA5 \x10\x11");
  for (int c = 0; c < 16; ++c) {
    terminal::SetTextColour(c == 0 ? 15 : 0, c);
    terminal::SetCursorPosition(3, 3 + c * 3);
    const std::string number = std::to_string(c);
    terminal::WriteText(c < 10 ? " " + number + " " : number + " ");
  }
}

std::string Describe(const terminal::ConsoleEvent& e) {
  char line[100];
  if (e.kind == terminal::EventKind::kMouseRelease) {
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
  if (!terminal::UseTerminalConsole()) {
    std::fprintf(stderr, "keytest needs a terminal\n");
    return 1;
  }
  DrawFrame();
  int row = 5;
  int escapes = 0;
  for (;;) {
    const terminal::ConsoleEvent e = terminal::NextConsoleEvent();
    if (e.kind == terminal::EventKind::kEndOfInput) break;
    escapes = e.kind == terminal::EventKind::kKey && e.character == 27 ? escapes + 1 : 0;
    if (escapes == 2) break;
    if (e.kind == terminal::EventKind::kKey && e.scanCode == 0x3C && e.character == 0) {
      terminal::RunOnTerminal("sh", {});
    }
    terminal::SetTextColour(14, 1);
    terminal::SetCursorPosition(row, 3);
    std::string line = Describe(e);
    line.resize(76, ' ');
    terminal::WriteText(line);
    terminal::SetCursorSize(e.scanCode == 0x52 ? 50 : 99);
    row = row == 23 ? 5 : row + 1;
  }
  terminal::RestoreTerminal();
  return 0;
}
