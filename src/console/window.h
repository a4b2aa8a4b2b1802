// Windows and console primitives: a stack of rectangular windows whose
// covered cells are saved in WinPush.tmp, frames, window-relative cursor
// positions, colour codes with a stack, and the rectangle scroll.
//
// All coordinates are 1-based screen rows and columns unless a function
// says otherwise.  The usual order of calls is
//   SetColour("+n"); OpenWindow(...); DrawFrame(1); ... CloseWindow(); SetColour("-");
#pragma once

#include <string>
#include <string_view>

namespace console {

// The name of the window save file: SessionDir followed by "WinPush.tmp".
std::string WindowSaveFile();

// Saves the cells of the rectangle (frame included), the cursor and the
// current window on the save stack, and makes the rectangle the current
// window.  Draws nothing.  A coordinate outside the visible console makes it
// a no-op (nothing saved, depth unchanged); the order of the corners is not
// checked.
void OpenWindow(int top, int left, int bottom, int right);

// Restores the most recently saved rectangle, cursor and window, and deletes
// the save file when the stack is empty.  A missing, empty or damaged save
// file restores nothing: the file is deleted and only the depth goes down.
void CloseWindow();

// Frame of the current window (0 blanks, 1 single line, 2 double line, any
// other style NUL bytes) with its interior blanked, in the current colour.
// Nothing when no window is open.
void DrawFrame(int style);

// Cursor to (row, column) relative to the current window (row 1, column 1
// is the first cell inside the frame), or to the screen without a window.
void WindowLocate(int row, int column);

// Screen coordinates of the current window's interior; without a window
// 1, 1 and ScreenColumns().
int WindowFirstRow();
int WindowFirstColumn();
int WindowLastColumn();

// Size of the visible console.
int ScreenRows();
int ScreenColumns();

// Scrolls the rectangle given in 0-based coordinates: lines > 0 moves its
// contents up that many rows, lines <= 0 down by -lines rows (at least one).
// Vacated cells become blanks in the current colour.
void ScrollRegion(int top, int left, int bottom, int right, int lines);

// Selects a colour of the colour table by code: "+" first saves the current
// index, "-" pops the saved one (index 0 on an empty stack), else "U" is 4,
// "R" adds 2 and "N" adds 1 (any other code is 0).  Letters ignore case; an
// empty or blank code changes nothing.
void SetColour(std::string_view code);

// Opens a framed box in reverse colours near the given row, centred on
// column 41, with the text wrapped to 76 columns, and leaves it open for the
// caller to close with CloseWindow.  Shows nothing (and opens no window)
// when the text needs more rows than the screen has.  Returns whether a
// window was opened.  The text also goes to Console().messageEcho when set.
bool ShowMessage(int row, std::string_view text);

}  // namespace console
