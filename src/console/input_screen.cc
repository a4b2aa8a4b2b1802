// The input screen engine: window, resume walk, field loop and leaving.
#include "console/input_screen.h"

#include <cstdlib>
#include <string>

#include "console/browse_list.h"
#include "console/field.h"
#include "console/help.h"
#include "console/keyboard.h"
#include "console/screens_state.h"
#include "console/selection_screens.h"
#include "console/window.h"
#include "format/text.h"
#include "issuing/screen_form.h"
#include "platform/console.h"
#include "startup/settings.h"

namespace console {
namespace {

constexpr short kBlankStart = 1;
constexpr short kMasked = 2;
constexpr short kDisabled = 4;
constexpr short kCursorAtEnd = 8;

bool Enabled(const issuing::ScreenField& f) {
  return (f.flags & kDisabled) == 0;
}

// Keys with which a continuation screen takes its parent screen along.
bool LeavesChain(int key) {
  return key == kKeyPageUp || key == kKeyPageDown || key == kKeyEnd || key == kKeyLeave ||
         key == kKeyEnter || key == kKeyDown || key == kKeyUp;
}

// The screen being run and where its fields are.
struct Run {
  int number;
  issuing::Screen* screen;
  bool continuation;
  int mayLeaveUp, mayLeaveDown;
  int first = 0, last = 0;  // enabled fields; 0 when none

  issuing::ScreenField& Field(int n) const { return screen->fields[static_cast<size_t>(n - 1)]; }
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

int ValueColumn(const issuing::ScreenField& f) {
  return f.column + static_cast<int>(f.label.size());
}

// Follows the links towards the resume screen.  True when this screen
// should first run its linked screen to reach it.
bool ResumeThroughLink(const Run& run) {
  int& resume = Screens().resumeScreen;
  int reached = run.number;
  const int limit = static_cast<int>(issuing::ScreenForms().screens.size());
  for (int steps = 0; reached != resume && resume > 0 && steps <= limit; ++steps) {
    const issuing::Screen* s = issuing::ScreenAt(reached);
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

void ClearDescription(const issuing::ScreenField& f) {
  if (f.descriptionWidth <= 0 || !Enabled(f)) return;
  const int width = f.lineWidth > 0 ? f.lineWidth : f.length;
  WindowLocate(f.row, ValueColumn(f) + width);
  platform::WriteText(std::string(static_cast<size_t>(f.descriptionWidth), ' '));
}

// F4: the field's browse list.  A chosen record is stored and moves on;
// otherwise the field is edited again (with what a sub-list stored).
int RunBrowse(const Run& run, int field, std::string& text) {
  const issuing::ScreenField& f = run.Field(field);
  if (f.browseList == 0) return 0;
  const std::string before = f.value;
  int result = -1;
  BrowseList(f.browseList, result);
  if (result == 0) {
    TakeBrowseChoice(f.browseList, run.number, field);
    return field == run.last && run.screen->link == 0 ? kKeyEnter : kKeyDown;
  }
  if (f.value != before) text = f.value;
  return 0;
}

// The field's exit keys: the screen's key list and F1.  A screen without a
// key list of its own leaves the list empty, so that every key the editor
// does not handle (F1 among them) ends the field.
void SetScreenExitKeys(const issuing::Screen& s) {
  if (s.keyList.empty()) {
    SetExitKeys("+e", "");
  } else {
    SetExitKeys("+ea", s.keyList + ",3b00");
  }
}

// Edits one enabled field until a key ends it; returns that key.
int EditOne(const Run& run, int field) {
  issuing::ScreenField& f = run.Field(field);
  std::string text =
      (f.flags & (kBlankStart | kMasked)) ? std::string(f.value.size(), ' ') : f.value;
  if (f.flags & kMasked) SetExitKeys("h", "");
  ClearDescription(f);
  int key = 0;
  for (;;) {
    SetChoiceList(f.choiceList);
    int position =
        (f.flags & kCursorAtEnd) ? static_cast<int>(format::TrimRight(text).size()) + 1 : 1;
    EditField(f.row, ValueColumn(f), f.lineWidth, text, position, key);
    Screens().screen = run.number;
    Screens().field = field;
    Screens().text = text;
    if (key == kKeyF1) {
      const std::string topic = format::TrimRight(startup::Settings().MenuName);
      if (!topic.empty()) ShowHelp(topic);
      continue;
    }
    if (key == kKeyF4) {
      key = RunBrowse(run, field, text);
      if (key != 0) return key;
      // The list ended by restoring the saved key lists: take the screen's
      // lists again for the field.
      SetScreenExitKeys(*run.screen);
      if (f.flags & kMasked) SetExitKeys("h", "");
      continue;
    }
    if (key == kKeyEscape) {
      ShowField(run.number, field);
      return key;
    }
    if ((f.flags & (kBlankStart | kMasked)) && format::Trim(text).empty()) text = f.value;
    if (AcceptField(run.number, text, field, key) == 0) return key;
    platform::Beep();
  }
}

// The enabled field under a click (screen coordinates), 0 for none.
int FieldUnderClick(const Run& run, int key) {
  const int code = -key;
  const int row = code % 100 - WindowFirstRow() + 1;
  const int column = code / 100 - WindowFirstColumn() + 1;
  for (int n = 1; n <= run.Count(); ++n) {
    const issuing::ScreenField& f = run.Field(n);
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
  if (key == kKeyPageUp || key == kKeyPageDown) {
    const bool up = key == kKeyPageUp;
    const int end = up ? run.first : run.last;
    if (current == end && (up ? run.mayLeaveUp : run.mayLeaveDown)) {
      Screens().resumeScreen = run.number;
      return true;
    }
    current = end;
    return false;
  }
  if (key == kKeyEnd || key == kKeyLeave) return true;
  if (key == kKeyEscape) {
    if (current == run.first) return true;
    current = run.first;
    return false;
  }
  if (key == kKeyEnter || key == kKeyDown || key == kKeyF2) {
    if ((current == run.last || key == kKeyF2) && run.screen->link != 0) return RunLink(run, key);
    if (current < run.last && key != kKeyF2) {
      ++current;
      return false;
    }
    return key == kKeyEnter;
  }
  if (key == kKeyUp) {
    if (current > run.first) {
      --current;
    } else if (run.continuation) {
      key = kKeyEscape;
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
    issuing::ScreenField& f = run.Field(current);
    SetScreenExitKeys(*run.screen);
    // A disabled field is passed over with the key that reached it.
    if (Enabled(f)) {
      key = EditOne(run, current);
      run.FindEnds();
    }
    if (f.flags & kMasked) SetExitKeys("v", "");
    SetExitKeys("-", "");
    if (run.first == 0 || Move(run, current, key)) return key;
  }
}

}  // namespace

void InputScreen(int screen, int mayLeaveUp, int mayLeaveDown, int& key) {
  Run run{std::abs(screen), issuing::ScreenAt(std::abs(screen)), screen < 0, mayLeaveUp,
          mayLeaveDown};
  key = kKeyEscape;
  if (run.screen == nullptr) return;
  const bool windowed = run.screen->window[0] != 0;
  if (windowed) {
    SetColour("+n");
    OpenWindow(run.screen->window[0], run.screen->window[1], run.screen->window[2],
               run.screen->window[3]);
    DrawFrame(2);
    SetColour("-");
  }
  DrawScreen(run.number);
  run.FindEnds();
  bool skipFields = false;
  if (run.first != 0 && ResumeThroughLink(run)) skipFields = RunLink(run, key);
  for (;;) {
    if (run.first == 0) {
      // Nothing to edit: leave at once, and do not wait on a refusal.
      if (!skipFields) key = kKeyEnter;
      if (LeaveScreen(run.number, key) != 0) key = kKeyEscape;
      break;
    }
    if (!skipFields) key = FieldLoop(run, run.first);
    skipFields = false;
    if (LeaveScreen(run.number, key) == 0) break;
    run.FindEnds();
  }
  if (windowed) CloseWindow();
  Screens().screen = 0;
  Screens().field = 0;
  Screens().text.clear();
}

}  // namespace console
