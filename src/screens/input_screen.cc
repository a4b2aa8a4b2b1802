// The input screen engine: window, resume walk, field loop and leaving.
#include "screens/input_screen.h"

#include <cstdlib>
#include <string>

#include "config/session_settings.h"
#include "console/field.h"
#include "console/keyboard.h"
#include "console/window.h"
#include "format/text.h"
#include "office/screen_form.h"
#include "screens/browse_list.h"
#include "screens/help.h"
#include "screens/screens_state.h"
#include "screens/selection_screens.h"
#include "terminal/cell_buffer.h"

namespace screens {
namespace {

constexpr short kBlankStart = 1;
constexpr short kMasked = 2;
constexpr short kDisabled = 4;
constexpr short kCursorAtEnd = 8;

bool Enabled(const office::ScreenField& f) {
  return (f.flags & kDisabled) == 0;
}

// Keys with which a continuation screen takes its parent screen along.
bool LeavesChain(int key) {
  return key == console::kKeyPageUp || key == console::kKeyPageDown || key == console::kKeyEnd ||
         key == kKeyLeave || key == console::kKeyEnter || key == console::kKeyDown ||
         key == console::kKeyUp;
}

// The screen being run and where its fields are.
struct Run {
  int number;
  office::Screen* screen;
  bool continuation;
  int mayLeaveUp, mayLeaveDown;
  int first = 0, last = 0;  // enabled fields; 0 when none

  office::ScreenField& Field(int n) const { return screen->fields[static_cast<size_t>(n - 1)]; }
  int Count() const { return static_cast<int>(screen->fields.size()); }
  void FindEnds() {
    first = last = 0;
    for (int n = 1; n <= Count(); ++n) {
      if (!Enabled(Field(n))) continue;
      if (first == 0) first = n;
      last = n;
    }
  }
};

int ValueColumn(const office::ScreenField& f) {
  return f.column + static_cast<int>(f.label.size());
}

// Follows the links towards the resume screen.  True when this screen
// should first run its linked screen to reach it.
bool ResumeThroughLink(const Run& run) {
  int& resume = Screens().resumeScreen;
  int reached = run.number;
  const int limit = static_cast<int>(office::ScreenForms().screens.size());
  for (int steps = 0; reached != resume && resume > 0 && steps <= limit; ++steps) {
    const office::Screen* s = office::ScreenAt(reached);
    if (s == nullptr || s->link == 0) break;
    reached = s->link;
  }
  if (reached != resume) resume = 0;
  if (run.number == resume || resume < 1 || run.screen->link == 0) {
    resume = 0;
    return false;
  }
  return true;
}

void ClearDescription(const office::ScreenField& f) {
  if (f.descriptionWidth <= 0 || !Enabled(f)) return;
  const int width = f.lineWidth > 0 ? f.lineWidth : f.length;
  console::WindowLocate(f.row, ValueColumn(f) + width);
  terminal::WriteText(std::string(static_cast<size_t>(f.descriptionWidth), ' '));
}

// F4: the field's browse list.  A chosen record is stored and moves on;
// otherwise the field is edited again (with what a sub-list stored).
int RunBrowse(const Run& run, int field, std::string& text) {
  const office::ScreenField& f = run.Field(field);
  if (f.browseList == 0) return 0;
  const std::string before = f.value;
  int result = -1;
  BrowseList(f.browseList, result);
  if (result == 0) {
    TakeBrowseChoice(f.browseList, run.number, field);
    return field == run.last && run.screen->link == 0 ? console::kKeyEnter : console::kKeyDown;
  }
  if (f.value != before) text = f.value;
  return 0;
}

// The keys the engine moves by (Enter, Escape, Up, Down, Page Up, Page Down,
// F2, F4): the key list of a screen whose form gives it none.
constexpr const char* kMovingKeys = "d,1b,4800,5000,4900,5100,3c00,3e00";

// The field's exit keys: the screen's key list and F1.  The list is never
// empty, so every other key stays with the field editor: the calculator's
// and the calendar's hot keys open their pop-up and type the result into
// this field instead of ending it.
void SetScreenExitKeys(const office::Screen& s) {
  const std::string& list = s.keyList.empty() ? std::string(kMovingKeys) : s.keyList;
  console::SetExitKeys("+ea", list + ",3b00");
}

// Edits one enabled field until a key ends it; returns that key.
int EditOne(const Run& run, int field) {
  office::ScreenField& f = run.Field(field);
  std::string text =
      (f.flags & (kBlankStart | kMasked)) ? std::string(f.value.size(), ' ') : f.value;
  if (f.flags & kMasked) console::SetExitKeys("h", "");
  ClearDescription(f);
  int key = 0;
  for (;;) {
    console::SetChoiceList(f.choiceList);
    int position =
        (f.flags & kCursorAtEnd) ? static_cast<int>(format::TrimRight(text).size()) + 1 : 1;
    console::EditField(f.row, ValueColumn(f), f.lineWidth, text, position, key);
    Screens().screen = run.number;
    Screens().field = field;
    Screens().text = text;
    if (key == console::kKeyF1) {
      const std::string topic = format::TrimRight(config::Settings().MenuName);
      if (!topic.empty()) ShowHelp(topic);
      continue;
    }
    if (key == console::kKeyF4) {
      key = RunBrowse(run, field, text);
      if (key != 0) return key;
      // The list ended by restoring the saved key lists: take the screen's
      // lists again for the field.
      SetScreenExitKeys(*run.screen);
      if (f.flags & kMasked) console::SetExitKeys("h", "");
      continue;
    }
    if (key == console::kKeyEscape) {
      ShowField(run.number, field);
      return key;
    }
    if ((f.flags & (kBlankStart | kMasked)) && format::Trim(text).empty()) text = f.value;
    if (AcceptField(run.number, text, field, key) == 0) return key;
    terminal::Beep();
  }
}

// The enabled field under a click (screen coordinates), 0 for none.
int FieldUnderClick(const Run& run, int key) {
  const int code = -key;
  const int row = code % 100 - console::WindowFirstRow() + 1;
  const int column = code / 100 - console::WindowFirstColumn() + 1;
  for (int n = 1; n <= run.Count(); ++n) {
    const office::ScreenField& f = run.Field(n);
    if (!Enabled(f)) continue;
    const int lines = f.lineWidth > 0 ? f.length / f.lineWidth : 1;
    const int width = f.lineWidth > 0 ? f.lineWidth : f.length;
    const int right = f.column + static_cast<int>(f.label.size()) + width + f.descriptionWidth - 1;
    if (row >= f.row && row < f.row + lines && column >= f.column && column <= right) return n;
  }
  return 0;
}

// Runs the linked screen; true when its key leaves this screen too.
bool RunLink(const Run& run, int& key) {
  int linkKey = 0;
  InputScreen(-run.screen->link, run.mayLeaveUp, run.mayLeaveDown, linkKey);
  if (!LeavesChain(linkKey)) return false;
  key = linkKey;
  return true;
}

// Moves by the key that ended a field.  Returns true to leave the screen.
bool Move(const Run& run, int& current, int& key) {
  if (key == console::kKeyPageUp || key == console::kKeyPageDown) {
    const bool up = key == console::kKeyPageUp;
    const int end = up ? run.first : run.last;
    if (current == end && (up ? run.mayLeaveUp : run.mayLeaveDown)) {
      Screens().resumeScreen = run.number;
      return true;
    }
    current = end;
    return false;
  }
  if (key == console::kKeyEnd || key == kKeyLeave) return true;
  if (key == console::kKeyEscape) {
    if (current == run.first) return true;
    current = run.first;
    return false;
  }
  if (key == console::kKeyEnter || key == console::kKeyDown || key == console::kKeyF2) {
    if ((current == run.last || key == console::kKeyF2) && run.screen->link != 0)
      return RunLink(run, key);
    if (current < run.last && key != console::kKeyF2) {
      ++current;
      return false;
    }
    return key == console::kKeyEnter;
  }
  if (key == console::kKeyUp) {
    if (current > run.first) {
      --current;
    } else if (run.continuation) {
      key = console::kKeyEscape;
      return true;
    }
    return false;
  }
  if (key < 0) {
    const int picked = FieldUnderClick(run, key);
    if (picked != 0) current = picked;
    return false;
  }
  return key != 0;
}

// The field loop from `current` until a key leaves the screen.
int FieldLoop(Run& run, int current) {
  int key = 0;
  for (;;) {
    if (current < run.first || current > run.last) current = run.first;
    office::ScreenField& f = run.Field(current);
    SetScreenExitKeys(*run.screen);
    // A disabled field is passed over with the key that reached it.
    if (Enabled(f)) {
      key = EditOne(run, current);
      run.FindEnds();
    }
    if (f.flags & kMasked) console::SetExitKeys("v", "");
    console::SetExitKeys("-", "");
    if (run.first == 0 || Move(run, current, key)) return key;
  }
}

}  // namespace

void InputScreen(int screen, int mayLeaveUp, int mayLeaveDown, int& key) {
  Run run{std::abs(screen), office::ScreenAt(std::abs(screen)), screen < 0, mayLeaveUp,
          mayLeaveDown};
  key = console::kKeyEscape;
  if (run.screen == nullptr) return;
  const bool windowed = run.screen->window[0] != 0;
  if (windowed) {
    console::SetColour("+n");
    console::OpenWindow(run.screen->window[0], run.screen->window[1], run.screen->window[2],
                        run.screen->window[3]);
    console::DrawFrame(2);
    console::SetColour("-");
  }
  DrawScreen(run.number);
  run.FindEnds();
  bool skipFields = false;
  if (run.first != 0 && ResumeThroughLink(run)) skipFields = RunLink(run, key);
  for (;;) {
    if (run.first == 0) {
      // Nothing to edit: leave at once, and do not wait on a refusal.
      if (!skipFields) key = console::kKeyEnter;
      if (LeaveScreen(run.number, key) != 0) key = console::kKeyEscape;
      break;
    }
    if (!skipFields) key = FieldLoop(run, run.first);
    skipFields = false;
    if (LeaveScreen(run.number, key) == 0) break;
    run.FindEnds();
  }
  if (windowed) console::CloseWindow();
  Screens().screen = 0;
  Screens().field = 0;
  Screens().text.clear();
}

}  // namespace screens
