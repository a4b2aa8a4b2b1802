// Diff-based rendering: compares each cell with what was last sent and moves
// the terminal cursor only where a run of unchanged cells breaks the flow.
#include "platform/terminal_render.h"

#include <cstdio>

#include "platform/cp850.h"

namespace platform {
namespace {

// Console colour numbers (bit 0 blue, bit 2 red) to ANSI (bit 0 red).
int AnsiColour(int console) {
  return ((console & 1) << 2) | (console & 2) | ((console & 4) >> 2);
}

constexpr char kClear[] = "\x1b[0m\x1b[2J";

}  // namespace

void TerminalRenderer::Invalidate() {
  shown_.clear();
  atRow_ = 0;
  attribute_ = -1;
  cursorShape_ = -1;
  cursorVisible_ = -1;
}

void TerminalRenderer::SetTerminalSize(int rows, int columns) {
  if (rows == rows_ && columns == columns_) return;
  rows_ = rows;
  columns_ = columns;
  noticeShown_ = false;
  Invalidate();
}

void TerminalRenderer::MoveTo(int row, int column, std::string* out) {
  if (row == atRow_ && column == atColumn_) return;
  char buf[24];
  std::snprintf(buf, sizeof buf, "\x1b[%d;%dH", row, column);
  *out += buf;
  atRow_ = row;
  atColumn_ = column;
}

void TerminalRenderer::SetAttribute(std::uint8_t attribute, std::string* out) {
  if (attribute == attribute_) return;
  const int fg = attribute & 15, bg = attribute >> 4;
  const int oldFg = attribute_ < 0 ? -1 : attribute_ & 15;
  const int oldBg = attribute_ < 0 ? -1 : attribute_ >> 4;
  char buf[24];
  if (fg != oldFg && bg != oldBg) {
    std::snprintf(buf, sizeof buf, "\x1b[%d;%dm", (fg & 8 ? 90 : 30) + AnsiColour(fg),
                  (bg & 8 ? 100 : 40) + AnsiColour(bg));
  } else if (fg != oldFg) {
    std::snprintf(buf, sizeof buf, "\x1b[%dm", (fg & 8 ? 90 : 30) + AnsiColour(fg));
  } else {
    std::snprintf(buf, sizeof buf, "\x1b[%dm", (bg & 8 ? 100 : 40) + AnsiColour(bg));
  }
  *out += buf;
  attribute_ = attribute;
}

void TerminalRenderer::RenderNotice(std::string* out) {
  if (noticeShown_) return;
  char text[160];
  std::snprintf(text, sizeof text,
                "The terminal is %d x %d; this program needs at least %d columns x %d rows. "
                "Please enlarge the window.",
                columns_, rows_, kConsoleColumns, kConsoleRows);
  *out += kClear;
  *out += "\x1b[?25l\x1b[1;1H";
  // Wrapped by hand so that every word stays visible on a narrow terminal.
  const std::string notice = text;
  const size_t width = columns_ > 0 ? static_cast<size_t>(columns_) : 1;
  for (size_t at = 0, line = 1; at < notice.size() && line <= static_cast<size_t>(rows_);
       at += width, ++line) {
    char move[24];
    std::snprintf(move, sizeof move, "\x1b[%zu;1H", line);
    *out += move;
    *out += notice.substr(at, width);
  }
  noticeShown_ = true;
  Invalidate();
}

void TerminalRenderer::RenderCursor(const ConsoleScreen& screen, std::string* out) {
  if (screen.cursorVisible) {
    MoveTo(screen.cursorRow, screen.cursorColumn, out);
    const int shape = screen.cursorSize >= 90 ? 2 : 4;  // steady block, steady underline
    if (shape != cursorShape_) {
      *out += shape == 2 ? "\x1b[2 q" : "\x1b[4 q";
      cursorShape_ = shape;
    }
  }
  if (static_cast<int>(screen.cursorVisible) != cursorVisible_) {
    *out += screen.cursorVisible ? "\x1b[?25h" : "\x1b[?25l";
    cursorVisible_ = screen.cursorVisible;
  }
}

std::string TerminalRenderer::Render(const ConsoleScreen& screen) {
  std::string out;
  if (TooSmall()) {
    RenderNotice(&out);
    return out;
  }
  noticeShown_ = false;
  const bool full = shown_.size() != screen.cells.size();
  if (full) {
    out += kClear;
    atRow_ = 0;
    attribute_ = -1;
    shown_.assign(screen.cells.size(), Cell{});
  }
  for (int r = 1; r <= kConsoleRows; ++r) {
    for (int c = 1; c <= kConsoleColumns; ++c) {
      const size_t i = static_cast<size_t>((r - 1) * kConsoleColumns + (c - 1));
      const Cell& cell = screen.cells[i];
      if (!full && cell == shown_[i]) continue;
      MoveTo(r, c, &out);
      SetAttribute(cell.attribute, &out);
      AppendUtf8(Cp850Glyph(cell.character), &out);
      shown_[i] = cell;
      // After the last column the terminal's cursor position is uncertain.
      atColumn_ = c + 1;
      if (c == kConsoleColumns) atRow_ = 0;
    }
  }
  RenderCursor(screen, &out);
  return out;
}

}  // namespace platform
