// The help viewer: the HTML path through the command interpreter on
// Windows workstations, the text viewer everywhere else.
#include "screens/help.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "config/session_settings.h"
#include "console/cells.h"
#include "console/window.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "terminal/cell_buffer.h"
#include "terminal/hand_over.h"

namespace screens {
namespace {

constexpr int kShownCharacters = 76;
constexpr char kEmphasis = '\x1E';
constexpr char kFieldColour = '\x1F';
constexpr char kReverse = '\x10';

// The help file cut into records of the console's width.
struct HelpText {
  std::string bytes;
  int recordLength = 80;
  int lines = 0;

  std::string_view Line(int n) const {  // 1-based; empty beyond the end
    const size_t start = static_cast<size_t>(n - 1) * static_cast<size_t>(recordLength);
    if (n < 1 || start >= bytes.size()) return {};
    return std::string_view(bytes).substr(start, static_cast<size_t>(recordLength));
  }
};

HelpText LoadHelp(const std::string& topic) {
  HelpText help;
  help.recordLength = std::max(console::ScreenColumns(), 1);
  if (!platform::ReadWholeFile("AJUDA\\" + topic + ".HLP", &help.bytes)) help.bytes.clear();
  // Lines = length / record length, rounded to the nearest whole number.
  const size_t length = static_cast<size_t>(help.recordLength);
  help.lines =
      static_cast<int>(std::min<size_t>((help.bytes.size() + length / 2) / length, 1u << 30));
  return help;
}

// Bytes that move the cursor instead of showing a glyph would break the
// window (the records carry their line ends), so they show as blanks.
char Shown(char c) {
  return c == '\a' || c == '\b' || c == '\t' || c == '\n' || c == '\r' ? ' ' : c;
}

// One line at window row `row`, column 2, switching colours at the toggles.
void DrawLine(const HelpText& help, int line, int row) {
  console::WindowLocate(row, 2);
  console::SetColour("n");
  bool emphasis = false, field = false, reverse = false;
  std::string run;
  int shown = 0;
  auto flush = [&run] {
    terminal::WriteText(run);
    run.clear();
  };
  for (char c : help.Line(line)) {
    if (c == kEmphasis || c == kFieldColour || c == kReverse) {
      flush();
      if (c == kEmphasis && !field) {
        emphasis = !emphasis;
        console::SetColour(emphasis ? "h" : "n");
      } else if (c == kFieldColour) {
        field = !field;
        console::SetColour(field ? "u" : "n");
      } else if (c == kReverse) {
        reverse = !reverse;
        console::SetColour(reverse ? "r" : "n");
      }
      continue;
    }
    if (shown == kShownCharacters) break;
    run += Shown(c);
    ++shown;
  }
  flush();
  console::SetColour("n");
}

// The text viewer's window and position.
struct Viewer {
  HelpText help;
  int top, left, bottom, right;
  int page;                                  // lines in the window
  int first = 1;                             // first line shown
  int Next() const { return first + page; }  // the line below the window

  // ScrollRegion takes 0-based corners: the interior is rows top+1 ..
  // bottom-1 and columns left+1 .. right-1 on the 1-based screen.
  void Scroll(int lines) const { console::ScrollRegion(top, left, bottom - 2, right - 2, lines); }
  void ShowPage(int start) {
    Scroll(page);
    first = start;
    for (int r = 1; r <= page; ++r) DrawLine(help, first + r - 1, r);
  }
};

// Key code as the key reader forms it: the character, or scan code * 256.
int ReadHelpKey() {
  const terminal::ConsoleEvent e = terminal::NextConsoleEvent();
  if ((e.kind != terminal::EventKind::kKey && e.kind != terminal::EventKind::kEndOfInput) ||
      !e.keyDown) {
    return 0;
  }
  return e.character != 0 ? e.character : e.scanCode * 256;
}

void RunTextViewer(const std::string& topic) {
  Viewer v{LoadHelp(topic), 4, 1, console::ScreenRows() - 3, console::ScreenColumns(), 0};
  v.page = v.bottom - v.top - 1;
  console::SetColour("+h");
  console::OpenWindow(v.top, v.left, v.bottom, v.right);
  console::DrawFrame(2);
  console::SetColour("n");
  for (int r = 1; r <= v.page; ++r) DrawLine(v.help, r, r);
  for (;;) {
    const int key = ReadHelpKey();
    if (key == 27) break;
    if (key == 0x3B00 && topic != kGeneralHelpTopic) {
      ShowHelp(kGeneralHelpTopic);
    } else if (key == 0x5000 && v.Next() <= v.help.lines) {
      v.Scroll(1);
      DrawLine(v.help, v.Next(), v.page);
      ++v.first;
    } else if (key == 0x4800 && v.first > 1) {
      v.Scroll(-1);
      --v.first;
      DrawLine(v.help, v.first, 1);
    } else if (key == 0x5100 && v.Next() <= v.help.lines) {
      v.ShowPage(std::min(v.Next(), v.help.lines - v.page + 1));
    } else if (key == 0x4900 && v.first > 1) {
      v.ShowPage(std::max(1, v.first - v.page));
    } else if (key == 0x4700 && v.first > 1) {
      v.ShowPage(1);
    } else if (key == 0x4F00 && v.Next() <= v.help.lines) {
      v.ShowPage(std::max(1, v.help.lines - v.page + 1));
    }
  }
  console::CloseWindow();
  console::SetColour("-");
}

}  // namespace

void ShowHelp(const std::string& topic) {
  if (config::Settings().PlatformKind == "WIN") {
    const char* comspec = std::getenv("COMSPEC");
    if (comspec != nullptr && *comspec != '\0') {
      terminal::RunOnTerminal(comspec, {"/C", "QLAUNCH", "AJUDA\\" + topic + ".HTM"});
    }
    return;
  }
  RunTextViewer(topic);
}

}  // namespace screens
