// Frames, window-relative positions, the screen size, the rectangle scroll
// and the colour codes.
#include <cctype>
#include <string>

#include "config/session_settings.h"
#include "console/cells.h"
#include "console/console_state.h"
#include "console/window.h"
#include "terminal/cell_buffer.h"

namespace console {
namespace {

struct FrameChars {
  char topLeft, topRight, bottomLeft, bottomRight, horizontal, vertical;
};

FrameChars FrameFor(int style) {
  switch (style) {
    case 0:
      return {' ', ' ', ' ', ' ', ' ', ' '};
    case 1:
      return {'\xDA', '\xBF', '\xC0', '\xD9', '\xC4', '\xB3'};
    case 2:
      return {'\xC9', '\xBB', '\xC8', '\xBC', '\xCD', '\xBA'};
    default:
      return {0, 0, 0, 0, 0, 0};
  }
}

bool Contains(std::string_view code, char letter) {
  for (char c : code) {
    if (std::toupper(static_cast<unsigned char>(c)) == letter) return true;
  }
  return false;
}

}  // namespace

void DrawFrame(int style) {
  const ConsoleState& s = Console();
  if (s.depth == 0) return;
  const WindowRect w = s.window;
  const FrameChars f = FrameFor(style);
  const size_t inner = w.right - w.left - 1 > 0 ? static_cast<size_t>(w.right - w.left - 1) : 0;
  WriteAt(w.top, w.left, f.topLeft + std::string(inner, f.horizontal) + f.topRight);
  for (int r = w.top + 1; r <= w.bottom - 1; ++r) {
    WriteAt(r, w.left, f.vertical + std::string(inner, ' ') + f.vertical);
  }
  WriteAt(w.bottom, w.left, f.bottomLeft + std::string(inner, f.horizontal) + f.bottomRight);
}

void WindowLocate(int row, int column) {
  const ConsoleState& s = Console();
  if (s.depth > 0) {
    terminal::SetCursorPosition(s.window.top + row, s.window.left + column);
  } else {
    terminal::SetCursorPosition(row, column);
  }
}

int WindowFirstRow() {
  return Console().depth > 0 ? Console().window.top + 1 : 1;
}

int WindowFirstColumn() {
  return Console().depth > 0 ? Console().window.left + 1 : 1;
}

int WindowLastColumn() {
  return Console().depth > 0 ? Console().window.right - 1 : ScreenColumns();
}

int ScreenRows() {
  return terminal::ConsoleRows();
}

int ScreenColumns() {
  return terminal::ConsoleColumns();
}

void ScrollRegion(int top, int left, int bottom, int right, int lines) {
  const int shift = lines > 0 ? lines : (lines < 0 ? lines : -1);
  terminal::ScrollRectangle(top + 1, left + 1, bottom + 1, right + 1, shift);
}

void SetColour(std::string_view code) {
  if (code.find_first_not_of(' ') == std::string_view::npos) return;
  ConsoleState& s = Console();
  if (Contains(code, '+')) s.colourStack += static_cast<char>(s.colourIndex);
  int index = 0;
  if (Contains(code, '-')) {
    if (!s.colourStack.empty()) {
      index = static_cast<unsigned char>(s.colourStack.back());
      s.colourStack.pop_back();
    }
  } else if (Contains(code, 'U')) {
    index = 4;
  } else {
    index = (Contains(code, 'R') ? 2 : 0) + (Contains(code, 'N') ? 1 : 0);
  }
  const config::ColourPair& pair = config::Settings().ColourTable[static_cast<size_t>(index)];
  terminal::SetTextColour(pair.foreground, pair.background);
  s.colourIndex = index;
}

}  // namespace console
