// Diff-based rendering: compares each cell with what was last sent and moves
// the terminal cursor only where a run of unchanged cells breaks the flow.
#include "terminal/tty_render.h"

#include <cstdio>
#include <utility>

#include "platform/cp850.h"
#include "platform/program_state.h"

namespace terminal {
namespace {

// Console colour numbers (bit 0 blue, bit 2 red) to ANSI (bit 0 red).
int AnsiColour(int console) {
  return ((console & 1) << 2) | (console & 2) | ((console & 4) >> 2);
}

constexpr char kClear[] = "\x1b[0m\x1b[2J";

std::string EnglishNotice(int columns, int rows) {
  return "The terminal is " + std::to_string(columns) + " x " + std::to_string(rows) +
         "; this program needs at least " + std::to_string(kConsoleColumns) + " columns x " +
         std::to_string(kConsoleRows) + " rows. Please enlarge the window.";
}

NoticeText& Notice() {
  static NoticeText text = EnglishNotice;
  return text;
}

[[maybe_unused]] const bool registered = platform::RegisterStateReset(
    platform::Layer::kTerminal, "terminal::TooSmallNotice", [] { Notice() = EnglishNotice; });

size_t Characters(const std::string& utf8) {
  size_t n = 0;
  for (char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

// The first `count` characters of a UTF-8 text, and the rest.
std::string TakeCharacters(std::string* utf8, size_t count) {
  size_t at = 0;
  for (size_t seen = 0; at < utf8->size(); ++at) {
    if ((static_cast<unsigned char>((*utf8)[at]) & 0xC0) != 0x80 && seen++ == count) break;
  }
  std::string head = utf8->substr(0, at);
  utf8->erase(0, at);
  return head;
}

}  // namespace

void SetTooSmallNotice(NoticeText text) {
  Notice() = text ? std::move(text) : NoticeText(EnglishNotice);
}

std::vector<std::string> WrapAtSpaces(const std::string& text, int width) {
  const size_t room = width > 0 ? static_cast<size_t>(width) : 1;
  std::vector<std::string> lines;
  std::string line;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    std::string word = text.substr(start, end - start);
    start = end + 1;
    if (word.empty()) continue;
    if (!line.empty() && Characters(line) + 1 + Characters(word) > room) {
      lines.push_back(line);
      line.clear();
    }
    if (!line.empty()) line += ' ';
    while (Characters(line) + Characters(word) > room) {
      line += TakeCharacters(&word, room - Characters(line));
      lines.push_back(line);
      line.clear();
    }
    line += word;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

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
  char buf[48];
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
  char buf[48];
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
  *out += kClear;
  *out += "\x1b[?25l";
  const std::vector<std::string> lines = WrapAtSpaces(Notice()(columns_, rows_), columns_);
  for (size_t line = 1; line <= lines.size() && line <= static_cast<size_t>(rows_); ++line) {
    char move[48];
    std::snprintf(move, sizeof move, "\x1b[%zu;1H", line);
    *out += move;
    *out += lines[line - 1];
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
      platform::AppendUtf8(platform::Cp850Glyph(cell.character), &out);
      shown_[i] = cell;
      // After the last column the terminal's cursor position is uncertain.
      atColumn_ = c + 1;
      if (c == kConsoleColumns) atRow_ = 0;
    }
  }
  RenderCursor(screen, &out);
  return out;
}

}  // namespace terminal
