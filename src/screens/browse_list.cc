// BrowseList: the list window, the supply of lines from the record file
// (read only as far as the operator scrolls) and the keys.
#include "screens/browse_list.h"

#include <algorithm>
#include <vector>

#include "config/session_settings.h"
#include "console/cells.h"
#include "console/field.h"
#include "console/keyboard.h"
#include "console/window.h"
#include "format/text.h"
#include "office/screen_form.h"
#include "records/record_reads.h"
#include "screens/browse_work_file.h"
#include "screens/input_screen.h"
#include "screens/screens_state.h"
#include "screens/selection_screens.h"
#include "terminal/cell_buffer.h"

namespace screens {
namespace {

constexpr int kHorizontalStep = 8;
constexpr int kReadsBetweenEscapeChecks = 64;

// Lines from the record file, read on demand into the work file.
struct LineSupply {
  int list;
  std::int16_t fileId;
  int keyNumber;
  std::string startKey;
  std::string startSort;  // collating form of the start key
  bool started = false;
  bool exhausted = false;
};

bool InRange(const LineSupply& s) {
  if (s.startKey.empty()) return true;
  return records::CurrentKeySortForm(s.fileId).substr(0, s.startSort.size()) <= s.startSort;
}

// Escape typed while a long run of records gives no line stops the reading.
bool EscapePressed() {
  const terminal::ConsoleEvent e = terminal::PollConsoleEvent();
  return e.kind == terminal::EventKind::kEndOfInput ||
         (e.kind == terminal::EventKind::kKey && e.character == console::kKeyEscape);
}

// Reads records until one more line is in the work file; false when the
// range, the file or the operator ends the supply first.
bool ReadMore(LineSupply& s, BrowseWork& work) {
  // Without a work file no line could be kept: nothing is read.
  if (s.fileId == 0 || s.exhausted || !work.IsOpen()) return false;
  const size_t before = work.Count();
  std::int16_t status = 0;
  if (!s.started) {
    s.started = true;
    records::FindByKey(s.fileId, s.keyNumber, s.startKey, 1, status);
    s.startSort = records::KeySortForm(s.startKey, s.fileId);
  } else {
    records::SkipRecords(s.fileId, 1, status);
  }
  for (int read = 1;; ++read) {
    if (status != 0 || !InRange(s)) break;
    const std::string text = format::TrimRight(BrowseRowText(s.list));
    if (!text.empty()) work.Append(records::RecordPosition(s.fileId, 0), text);
    if (work.Count() > before) return true;
    if (read % kReadsBetweenEscapeChecks == 0 && EscapePressed()) break;
    records::SkipRecords(s.fileId, 1, status);
  }
  s.exhausted = true;
  return false;
}

// The window of lines and where the operator is in it.
struct ListView {
  const office::BrowseDefinition& def;
  LineSupply& supply;
  BrowseWork& work;
  int rows, width;
  size_t top = 0;  // line shown in the first row
  int cursor = 0;  // highlighted row, 0-based
  int offset = 1;  // first column of the texts shown
  int widest = 0;  // largest excess of a line shown so far over the width

  bool Ensure(size_t n) {
    while (work.Count() <= n) {
      if (!ReadMore(supply, work)) return false;
    }
    return true;
  }
};

std::string PadCut(const std::string& text, size_t from, int width) {
  return format::FitLeft(from < text.size() ? std::string_view(text).substr(from) : "",
                         static_cast<size_t>(width));
}

// The frame's top line: the header from the offset on (a space drawn as
// the double line, "_" as a space), with arrows when the lines are
// scrolled or reach further right.
void DrawTopLine(const ListView& v) {
  std::string line(1, v.offset > 1 ? '\x11' : '\xC9');
  const std::string& title = v.def.title;
  for (int i = 0; i < v.width; ++i) {
    const size_t at = static_cast<size_t>(v.offset - 1 + i);
    const char c = at < title.size() ? title[at] : ' ';
    line += c == ' ' ? '\xCD' : c == '_' ? ' ' : c;
  }
  line += v.widest >= v.offset ? '\x10' : '\xBB';
  console::SetColour("n");
  console::WriteAt(v.def.top, v.def.left, line);
}

void Draw(ListView& v) {
  std::vector<BrowseLine> lines;
  for (int r = 0; r < v.rows; ++r) {
    BrowseLine line;
    if (!v.Ensure(v.top + static_cast<size_t>(r)) ||
        !v.work.Read(v.top + static_cast<size_t>(r), line))
      break;
    v.widest = std::max(v.widest, static_cast<int>(line.text.size()) - v.width);
    lines.push_back(line);
  }
  v.cursor = std::min(v.cursor, std::max(static_cast<int>(lines.size()) - 1, 0));
  for (int r = 0; r < v.rows; ++r) {
    const bool exists = static_cast<size_t>(r) < lines.size();
    console::SetColour(exists && r == v.cursor ? "u" : "h");
    console::WindowLocate(r + 1, 1);
    terminal::WriteText(PadCut(exists ? lines[static_cast<size_t>(r)].text : "",
                               static_cast<size_t>(v.offset - 1), v.width));
  }
  DrawTopLine(v);
  console::SetColour("h");
}

// Enter: the highlighted line's record, read again by its position.
int Choose(ListView& v) {
  BrowseLine line;
  if (!v.work.Read(v.top + static_cast<size_t>(v.cursor), line)) return -1;
  if (v.def.fileId == 0) {
    Screens().chosenNumber = line.recordPosition;
    Screens().chosenText = line.text;
    return 0;
  }
  if (line.recordPosition == 0) return -1;
  return records::RecordPosition(v.def.fileId, line.recordPosition);
}

// Moves by one key; returns true while the list goes on.
bool Step(ListView& v, int key) {
  const size_t current = v.top + static_cast<size_t>(v.cursor);
  if (key == console::kKeyDown) {
    if (v.Ensure(current + 1)) {
      if (v.cursor < v.rows - 1)
        ++v.cursor;
      else
        ++v.top;
    }
  } else if (key == console::kKeyUp) {
    if (current > 0) {
      if (v.cursor > 0)
        --v.cursor;
      else
        --v.top;
    }
  } else if (key == console::kKeyPageDown) {
    if (v.Ensure(v.top + static_cast<size_t>(v.rows))) v.top += static_cast<size_t>(v.rows);
  } else if (key == console::kKeyPageUp) {
    if (v.top >= static_cast<size_t>(v.rows)) {
      v.top -= static_cast<size_t>(v.rows);
    } else {
      v.top = 0;
      v.cursor = 0;
    }
  } else if (key == console::kKeyLeft) {
    v.offset = std::max(1, v.offset - kHorizontalStep);
  } else if (key == console::kKeyRight) {
    if (v.offset <= v.widest) v.offset += kHorizontalStep;
  } else {
    return false;
  }
  return true;
}

bool WindowFits(const office::BrowseDefinition& d) {
  return d.top >= 1 && d.left >= 1 && d.bottom <= console::ScreenRows() &&
         d.right <= console::ScreenColumns() && d.bottom - d.top >= 2 && d.right - d.left >= 2;
}

// The list's window and keys; returns the result, and in subList the list
// F4 asked for.
int RunList(int list, const office::BrowseDefinition& def, int& subList) {
  LineSupply supply{list, def.fileId, def.keyNumber, BrowseStartKey(list), ""};
  BrowseWork work;
  work.Open(BrowseWorkFile(), def.fileId != 0);
  ListView v{def, supply, work, def.bottom - def.top - 1, def.right - def.left - 1};
  int result = -1;
  for (;;) {
    Draw(v);
    int key = 0;
    console::WaitKey(key);
    if (Step(v, key)) continue;
    if (key == console::kKeyEnter) result = Choose(v);
    if (key == console::kKeyF4 && def.subList != 0) subList = def.subList;
    break;
  }
  work.Remove();
  return result;
}

}  // namespace

std::string BrowseWorkFile() {
  return config::Settings().SessionDir + "Browse.tmp";
}

void BrowseList(int list, int& result) {
  result = -1;
  const auto& browse = office::ScreenForms().browse;
  if (list < 1 || static_cast<size_t>(list) >= browse.size()) return;
  const office::BrowseDefinition def = browse[static_cast<size_t>(list)];
  if (!WindowFits(def)) return;
  // The field that opened the list, before a filter screen clears it.
  const int screen = Screens().screen;
  const int field = Screens().field;
  if (def.filterScreen != 0) {
    int key = 0;
    InputScreen(def.filterScreen, 0, 0, key);
    if (key == console::kKeyEscape) return;
  }
  std::int16_t status = 0;
  if (def.fileId != 0) records::SetLockMode(def.fileId, "+d", status);
  console::SetColour("+n");
  console::OpenWindow(def.top, def.left, def.bottom, def.right);
  console::DrawFrame(2);
  console::SetColour("h");
  console::SetExitKeys("+ea", def.subList != 0 ? "d,1b,4800,5000,4900,5100,4b00,4d00,3e00"
                                               : "d,1b,4800,5000,4900,5100,4b00,4d00");
  int subList = 0;
  result = RunList(list, def, subList);
  console::SetExitKeys("-", "");
  console::CloseWindow();
  console::SetColour("-");
  if (def.fileId != 0) records::SetLockMode(def.fileId, "-", status);
  if (subList == 0) return;
  int subResult = -1;
  BrowseList(subList, subResult);
  if (subResult == 0) TakeBrowseChoice(subList, screen, field);
  result = -1;
}

}  // namespace screens
