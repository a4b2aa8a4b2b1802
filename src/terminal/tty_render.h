// The console screen as ANSI bytes for a terminal, sending only what changed.
//
// The program's screen is the 80 x 25 area at the top left of the terminal.
// Colours are the 16 console colours, turned into the ANSI order (console 1
// is blue and 4 red; ANSI has them the other way round) with the bright half
// as the 90-97 / 100-107 codes.  Characters go out as the UTF-8 of their
// code page 850 glyph.  The cursor is a block when its size is 90 % or more
// (overwrite mode) and an underline below that (insert mode, 50 %).
// While the terminal is smaller than the screen a notice saying so replaces
// the screen, wrapped at spaces; the full screen comes back once the
// terminal is large enough.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "terminal/cell_buffer.h"

namespace terminal {

// The notice's text (UTF-8) for a terminal of columns x rows.  The program
// sets it in the session language; until then, after the reset of the
// program state, or when set empty, it is in English.
using NoticeText = std::function<std::string(int columns, int rows)>;
void SetTooSmallNotice(NoticeText text);

// UTF-8 text in lines of at most width characters, broken at spaces; a word
// longer than a line is cut.
std::vector<std::string> WrapAtSpaces(const std::string& text, int width);

class TerminalRenderer {
 public:
  // Bytes that bring the terminal from the last rendered frame to screen.
  // The first call, and the first after Invalidate or a size change, clears
  // the terminal and sends every cell.
  std::string Render(const ConsoleScreen& screen);

  // Forgets what the terminal shows (after handing it to another program).
  void Invalidate();

  // The terminal's size in rows and columns.
  void SetTerminalSize(int rows, int columns);
  bool TooSmall() const { return rows_ < kConsoleRows || columns_ < kConsoleColumns; }

 private:
  void MoveTo(int row, int column, std::string* out);
  void SetAttribute(std::uint8_t attribute, std::string* out);
  void RenderNotice(std::string* out);
  void RenderCursor(const ConsoleScreen& screen, std::string* out);

  std::vector<Cell> shown_;  // what the terminal shows; empty when unknown
  int rows_ = kConsoleRows;
  int columns_ = kConsoleColumns;
  bool noticeShown_ = false;
  // Terminal state as last sent; -1 (or 0 for the row) when unknown.
  int atRow_ = 0;
  int atColumn_ = 0;
  int attribute_ = -1;
  int cursorShape_ = -1;
  int cursorVisible_ = -1;
};

}  // namespace terminal
