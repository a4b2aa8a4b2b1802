// The text console: a 25 x 80 buffer of code page 850 cells, a cursor, a
// current colour and a stream of keyboard and mouse events.
//
// The cell buffer held here is the truth.  A backend only shows it (on
// FlushConsole, and before every wait for input) and supplies the input
// events.  One backend is current for the whole process: the headless one
// in tests (headless_console.h), the terminal one for people
// (terminal_console.h).  Until one is installed the headless backend with an
// empty script is used, so nothing here ever blocks on a missing terminal.
//
// Coordinates are 1-based: row 1 .. ConsoleRows(), column 1 .. ConsoleColumns().
// A cell's attribute is background * 16 + foreground, colours 0 to 15 in the
// console's own numbering (1 blue, 2 green, 4 red, 7 grey, 8 dark grey, 15
// bright white).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace terminal {

inline constexpr int kConsoleRows = 25;
inline constexpr int kConsoleColumns = 80;

struct Cell {
  std::uint8_t character = ' ';   // code page 850 byte
  std::uint8_t attribute = 0x07;  // background * 16 + foreground
  bool operator==(const Cell&) const = default;
};

// Control-key state bits of a key or mouse event (the Win32 values).
enum ControlKeys : std::uint16_t {
  kRightAlt = 0x0001,
  kLeftAlt = 0x0002,
  kRightCtrl = 0x0004,
  kLeftCtrl = 0x0008,
  kShift = 0x0010,
  kAnyAlt = kLeftAlt | kRightAlt,
  kAnyCtrl = kLeftCtrl | kRightCtrl,
};

enum class EventKind : std::uint8_t {
  kNone,          // PollConsoleEvent only: nothing was waiting
  kKey,           // a key; see the fields below
  kMouseRelease,  // a mouse button was released over a cell
  kEndOfInput,    // no more input will come (script ran dry, terminal closed)
};

// One input event, in the form of a Win32 console input record.
//
// Key events: `character` is the code page 850 byte the key types, 0 for a
// key that types nothing (function, navigation and Alt+letter keys).
// `scanCode` is the PC keyboard code of the key, which for keys that type
// nothing becomes the high byte of the classic extended key code: F1 0x3B ..
// F10 0x44, F11 0x85, F12 0x86, Home 0x47, Up 0x48, PgUp 0x49, Left 0x4B,
// keypad centre 0x4C, Right 0x4D, End 0x4F, Down 0x50, PgDn 0x51, Insert 0x52,
// Delete 0x53, Escape 0x01, Backspace 0x0E, Tab 0x0F, Enter 0x1C, and the
// letter keys (Q 0x10 .. P 0x19, A 0x1E .. L 0x26, Z 0x2C .. M 0x32) and
// digit keys (1 0x02 .. 0 0x0B).  Modifiers are not folded into the code:
// Ctrl+Left is {0, 0x4B, kLeftCtrl}, Alt+X is {0, 0x2D, kLeftAlt}, Shift+Tab
// is {0, 0x0F, kShift}, Ctrl+C is {3, 0x2E, kLeftCtrl}; the keyboard layer
// turns them into its own codes.
// Every key arrives as one event with keyDown true, except the release of
// the Alt key that ends an Alt+keypad digit sequence, which arrives as
// {0, 0x38, no modifiers, keyDown false} so that a reader collecting digits
// while Alt is held sees Alt let go.
//
// Mouse events: row and column of the pointer's cell (1-based) and the
// released button, 1 left, 2 right.
//
// End of input: the key fields carry Escape {27, 0x01}, so a reader that
// looks only at keys sees Escape and backs out of whatever it was doing.
struct ConsoleEvent {
  EventKind kind = EventKind::kNone;
  std::uint8_t character = 0;
  std::uint8_t scanCode = 0;
  std::uint16_t controlKeys = 0;
  bool keyDown = true;
  int row = 0;
  int column = 0;
  int button = 0;
  bool operator==(const ConsoleEvent&) const = default;
};

// What a backend sees of the console when it shows it.
struct ConsoleScreen {
  std::vector<Cell> cells;  // row by row, kConsoleRows * kConsoleColumns
  int cursorRow = 1;
  int cursorColumn = 1;
  int cursorSize = 25;  // percent of the cell height, 1 to 100
  bool cursorVisible = true;
  const Cell& At(int row, int column) const {
    return cells[static_cast<size_t>((row - 1) * kConsoleColumns + (column - 1))];
  }
};

// A way of showing the console and of reading its input.
class ConsoleBackend {
 public:
  virtual ~ConsoleBackend() = default;
  // Brings what the backend shows up to date with the screen.
  virtual void Present(const ConsoleScreen& screen) = 0;
  // The next input event.  With wait false returns kNone at once when no
  // event is ready; with wait true blocks until one is, or returns
  // kEndOfInput when none can come.
  virtual ConsoleEvent ReadEvent(bool wait) = 0;
  virtual void Beep() = 0;
  // Number of mouse buttons the console reports (0: no mouse).
  virtual int MouseButtons() const = 0;
  // Whether the program wants mouse events now (see SetMouseInput).
  virtual void SetMouseReporting(bool) {}
  // Gives the terminal to another program and takes it back.  Resume shows
  // the whole screen again.
  virtual void Suspend() {}
  virtual void Resume(const ConsoleScreen& screen) { Present(screen); }
};

// Installs the process-wide backend (the old one is destroyed).  The cell
// buffer, cursor and colour are kept.
void SetConsoleBackend(std::unique_ptr<ConsoleBackend> backend);
ConsoleBackend& CurrentConsoleBackend();

// Empties the screen (blanks in grey on black), cursor to 1,1, visible,
// size 25, colour 0x07, overwrite mode, and installs a fresh headless
// backend.  For tests and start-up; the reset of the program state
// (platform/program_state.h) does it too.
void ResetConsole();

// --- Output ------------------------------------------------------------

// Size of the visible console window: 25 rows, 80 columns.
int ConsoleRows();
int ConsoleColumns();

// Moves the cursor.  A coordinate outside the screen leaves that coordinate
// where it was.
void SetCursorPosition(int row, int column);
int CursorRow();
int CursorColumn();

// Cursor height in percent of the cell (clamped to 1..100) and visibility.
void SetCursorSize(int percent);
int CursorSize();
void ShowCursor(bool visible);
bool CursorVisible();

// Current colour for writing and for blanks made by scrolling.
void SetTextColour(int foreground, int background);  // each taken mod 16
void SetTextAttribute(std::uint8_t attribute);
std::uint8_t TextAttribute();

// Writes code page 850 text at the cursor in the current colour, moving the
// cursor on.  After the last column the cursor wraps to column 1 of the next
// row.  Writing the screen's last cell leaves the cursor on it; only a
// further byte scrolls the screen up one row (new row blank in the current
// colour) and goes on at the start of the last row, so a frame drawn round
// the whole screen stays in place.  As on the Win32 console, five bytes act instead of
// being drawn: 7 beeps, 8 moves one column left (not past column 1), 9 moves
// to the next multiple-of-8 tab stop, 10 goes to column 1 of the next row,
// 13 goes to column 1.  Every other byte, 0 to 31 included, is drawn as its
// code page glyph (0x10 "►", 0x11 "◄").
void WriteText(std::string_view text);

// The cell at (row, column); false, and *cell untouched, outside the screen.
bool ReadCell(int row, int column, Cell* cell);
// Whole-screen copy, for backends, dumps and tests.
const ConsoleScreen& CurrentScreen();

// Moves the contents of the rectangle (1-based, inclusive) up by lines rows
// when lines > 0, down by -lines when lines < 0; cells vacated become blanks
// in the current colour.  Coordinates are clamped to the screen; an empty
// rectangle or lines == 0 changes nothing.  The cursor does not move.
void ScrollRectangle(int top, int left, int bottom, int right, int lines);

// Shows the buffer through the backend.
void FlushConsole();
void Beep();

// --- Input -------------------------------------------------------------

// The next event, flushing the screen first; blocks until one comes (the
// headless backend never blocks: a dry script gives kEndOfInput).  Runs the
// input-wait hook first.
ConsoleEvent NextConsoleEvent();
// What runs before every blocking wait for input: start-up registers the
// record manager's release of held reads there, since the operator may take
// minutes.  ResetConsole keeps it; the reset of the program state clears it.
void SetInputWaitHook(std::function<void()> hook);
// The next event if one is ready, else kNone; flushes first.
ConsoleEvent PollConsoleEvent();
// Number of mouse buttons the console reports (0: no mouse).
int MouseButtonCount();
// Mouse input on or off (on after ResetConsole).  While it is off the two
// event calls drop mouse events, and the terminal backend stops the
// terminal's mouse reporting, so the terminal's own text selection works.
void SetMouseInput(bool on);

// --- Keyboard toggles --------------------------------------------------

// The Insert toggle: true in insert mode.  Process-wide; starts false
// (overwrite mode) and is kept until changed.
bool InsertToggle();
void SetInsertToggle(bool on);

}  // namespace terminal
