// The console's cell buffer, cursor and colour, and the hand-off to the
// current backend.  All drawing happens here; backends only show the result.
#include "terminal/cell_buffer.h"

#include <algorithm>
#include <utility>

#include "platform/program_state.h"
#include "terminal/headless_backend.h"

namespace terminal {
namespace {

struct ConsoleState {
  ConsoleScreen screen;
  std::uint8_t attribute = 0x07;
  bool insertToggle = false;
  // The last cell of the screen was written: the next glyph scrolls first.
  bool wrapPending = false;
  bool mouseInput = true;
  std::unique_ptr<ConsoleBackend> backend;

  ConsoleState() {
    screen.cells.assign(kConsoleRows * kConsoleColumns, Cell{});
    backend = std::make_unique<HeadlessConsole>();
  }
};

// Registered at start-up and kept across ResetConsole, which tests and the
// choice of a backend call.
std::function<void()>& InputWaitHook() {
  static std::function<void()> hook;
  return hook;
}

ConsoleState& State() {
  static ConsoleState state;
  return state;
}

[[maybe_unused]] const bool consoleRegistered =
    platform::RegisterStateReset(platform::Layer::kTerminal, "terminal::Console", ResetConsole);
[[maybe_unused]] const bool hookRegistered = platform::RegisterStateReset(
    platform::Layer::kTerminal, "terminal::InputWaitHook", [] { InputWaitHook() = nullptr; });

Cell& CellAt(int row, int column) {
  return State().screen.cells[static_cast<size_t>((row - 1) * kConsoleColumns + (column - 1))];
}

// Moves row `from` of columns left..right to row `to`.
void CopyRowPart(int from, int to, int left, int right) {
  for (int c = left; c <= right; ++c) CellAt(to, c) = CellAt(from, c);
}

void BlankRowPart(int row, int left, int right) {
  for (int c = left; c <= right; ++c) CellAt(row, c) = Cell{' ', State().attribute};
}

// Cursor to the next row; past the bottom the whole screen scrolls up.
void NewLine() {
  ConsoleScreen& s = State().screen;
  s.cursorColumn = 1;
  if (s.cursorRow < kConsoleRows) {
    ++s.cursorRow;
  } else {
    ScrollRectangle(1, 1, kConsoleRows, kConsoleColumns, 1);
  }
}

// Writing the bottom-right cell leaves the cursor there with the wrap
// pending, so that a frame round the whole screen does not scroll it away.
void PutGlyph(std::uint8_t byte) {
  ConsoleState& st = State();
  ConsoleScreen& s = st.screen;
  if (st.wrapPending) {
    st.wrapPending = false;
    NewLine();
  }
  CellAt(s.cursorRow, s.cursorColumn) = Cell{byte, st.attribute};
  if (s.cursorColumn < kConsoleColumns) {
    ++s.cursorColumn;
  } else if (s.cursorRow < kConsoleRows) {
    NewLine();
  } else {
    st.wrapPending = true;
  }
}

}  // namespace

void SetConsoleBackend(std::unique_ptr<ConsoleBackend> backend) {
  State().backend = std::move(backend);
  State().backend->SetMouseReporting(State().mouseInput);
}

ConsoleBackend& CurrentConsoleBackend() {
  return *State().backend;
}

void ResetConsole() {
  ConsoleState& st = State();
  st.screen = ConsoleScreen{};
  st.screen.cells.assign(kConsoleRows * kConsoleColumns, Cell{});
  st.attribute = 0x07;
  st.insertToggle = false;
  st.wrapPending = false;
  st.mouseInput = true;
  st.backend = std::make_unique<HeadlessConsole>();
}

int ConsoleRows() {
  return kConsoleRows;
}
int ConsoleColumns() {
  return kConsoleColumns;
}

void SetCursorPosition(int row, int column) {
  ConsoleScreen& s = State().screen;
  if (row >= 1 && row <= kConsoleRows) s.cursorRow = row;
  if (column >= 1 && column <= kConsoleColumns) s.cursorColumn = column;
  State().wrapPending = false;
}

int CursorRow() {
  return State().screen.cursorRow;
}
int CursorColumn() {
  return State().screen.cursorColumn;
}

void SetCursorSize(int percent) {
  State().screen.cursorSize = std::clamp(percent, 1, 100);
}
int CursorSize() {
  return State().screen.cursorSize;
}
void ShowCursor(bool visible) {
  State().screen.cursorVisible = visible;
}
bool CursorVisible() {
  return State().screen.cursorVisible;
}

void SetTextColour(int foreground, int background) {
  State().attribute = static_cast<std::uint8_t>((background & 15) * 16 + (foreground & 15));
}
void SetTextAttribute(std::uint8_t attribute) {
  State().attribute = attribute;
}
std::uint8_t TextAttribute() {
  return State().attribute;
}

void WriteText(std::string_view text) {
  ConsoleScreen& s = State().screen;
  for (char ch : text) {
    const auto byte = static_cast<std::uint8_t>(ch);
    if (byte == 7 || byte == 8 || byte == 9 || byte == 10 || byte == 13) {
      State().wrapPending = false;
    }
    switch (byte) {
      case 7:
        Beep();
        break;
      case 8:
        if (s.cursorColumn > 1) --s.cursorColumn;
        break;
      case 9:
        s.cursorColumn = std::min(kConsoleColumns, (s.cursorColumn - 1) / 8 * 8 + 9);
        break;
      case 10:
        NewLine();
        break;
      case 13:
        s.cursorColumn = 1;
        break;
      default:
        PutGlyph(byte);
    }
  }
}

bool ReadCell(int row, int column, Cell* cell) {
  if (row < 1 || row > kConsoleRows || column < 1 || column > kConsoleColumns) return false;
  *cell = CellAt(row, column);
  return true;
}

const ConsoleScreen& CurrentScreen() {
  return State().screen;
}

void ScrollRectangle(int top, int left, int bottom, int right, int lines) {
  top = std::max(top, 1);
  left = std::max(left, 1);
  bottom = std::min(bottom, kConsoleRows);
  right = std::min(right, kConsoleColumns);
  if (top > bottom || left > right || lines == 0) return;
  const int height = bottom - top + 1;
  const int shift = std::min(lines > 0 ? lines : -lines, height);
  if (lines > 0) {
    for (int r = top; r + shift <= bottom; ++r) CopyRowPart(r + shift, r, left, right);
    for (int r = bottom - shift + 1; r <= bottom; ++r) BlankRowPart(r, left, right);
  } else {
    for (int r = bottom; r - shift >= top; --r) CopyRowPart(r - shift, r, left, right);
    for (int r = top; r < top + shift; ++r) BlankRowPart(r, left, right);
  }
}

void FlushConsole() {
  State().backend->Present(State().screen);
}
void Beep() {
  State().backend->Beep();
}

namespace {

// Reads events until one that the program wants.
ConsoleEvent ReadWanted(bool wait) {
  FlushConsole();
  for (;;) {
    const ConsoleEvent e = State().backend->ReadEvent(wait);
    if (e.kind != EventKind::kMouseRelease || State().mouseInput) return e;
  }
}

}  // namespace

ConsoleEvent NextConsoleEvent() {
  if (InputWaitHook()) InputWaitHook()();
  return ReadWanted(true);
}
void SetInputWaitHook(std::function<void()> hook) {
  InputWaitHook() = std::move(hook);
}
ConsoleEvent PollConsoleEvent() {
  return ReadWanted(false);
}

int MouseButtonCount() {
  return State().backend->MouseButtons();
}

void SetMouseInput(bool on) {
  State().mouseInput = on;
  State().backend->SetMouseReporting(on);
}

bool InsertToggle() {
  return State().insertToggle;
}
void SetInsertToggle(bool on) {
  State().insertToggle = on;
}

}  // namespace terminal
