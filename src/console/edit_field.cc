// EditField: the loop that draws the field, places the cursor, reads keys,
// resolves clicks and decides when editing ends.
#include <algorithm>
#include <string>

#include "console/cells.h"
#include "console/console_state.h"
#include "console/field.h"
#include "console/field_internal.h"
#include "console/keyboard.h"
#include "console/window.h"
#include "format/text.h"
#include "terminal/cell_buffer.h"

namespace console {
namespace {

constexpr char kLeftMarker = '\x11';   // "◄"
constexpr char kRightMarker = '\x10';  // "►"
constexpr int kInsertCursor = 50;
constexpr int kOverwriteCursor = 99;


// The item shown at entry: the last whose code is the value, else the last
// whose code padded to the value's length is the value, else the first.
int CurrentItem(const std::vector<ChoiceItem>& items, const std::string& value) {
  int padded = -1;
  for (size_t i = items.size(); i-- > 0;) {
    if (items[i].code == value) return static_cast<int>(i);
    if (padded < 0 && format::FitLeft(items[i].code, value.size()) == value) padded = static_cast<int>(i);
  }
  return std::max(padded, 0);
}

void Draw(Field& f) {
  if (f.Choice()) {
    const ChoiceItem& item = f.items[static_cast<size_t>(f.current)];
    *f.value = format::FitLeft(item.code, f.value->size());
    WriteAt(f.row, f.column, format::FitLeft(item.description, static_cast<size_t>(f.displayWidth)));
  } else {
    for (int k = 0; 1 + k * f.width <= f.Length(); ++k) {
      const std::string text =
          f.mask != 0
              ? std::string(static_cast<size_t>(std::max(f.width - 1, 0)),
                            static_cast<char>(f.mask))
              : f.value->substr(static_cast<size_t>(k * f.width), static_cast<size_t>(f.width));
      WriteAt(f.row + k, f.column, text);
    }
  }
  f.redraw = false;
}

void PlaceCursor(const Field& f) {
  int row = f.row + (f.position - 1) / f.width;
  int column = f.column + (f.position - 1) % f.width;
  if (f.position == f.Length() + 1 && f.position > 1 && (f.position - 1) % f.width == 0) {
    row -= 1;
    column = f.column + f.width;
  }
  terminal::SetCursorPosition(row, column);
}

// Reads the next key or click for the field, handling Insert on the way.
// A click is returned as -(column * 100 + row) with *click set.
int NextKey(Field& f, bool* click) {
  *click = false;
  while (true) {
    int key = 0, button = 0, row = 0, column = 0;
    ReadKey(key, button, row, column);
    if (key == kKeyInsert) {
      f.insertMode = !f.insertMode;
      terminal::SetCursorSize(f.insertMode ? kInsertCursor : kOverwriteCursor);
      terminal::SetInsertToggle(f.insertMode);
      continue;
    }
    if (key == 0 && button == 0) continue;
    terminal::ShowCursor(false);
    if (key == 0) {
      *click = true;
      return -(column * 100 + row);
    }
    return key;
  }
}

enum class Click { kEndsEditing, kMovedCursor, kActsAsKey };

// What a click does to the field; for kActsAsKey, *key is the key it
// stands for.
Click ResolveClick(Field& f, int code, int* key) {
  const int column = -code / 100;
  const int row = -code % 100;
  if (f.Choice()) {
    if (row != f.row) return Click::kEndsEditing;
    if (column == f.column - 1)
      *key = kKeyLeft;
    else if (column == f.column + f.displayWidth)
      *key = kKeyRight;
    else if (column >= f.column && column < f.column + f.displayWidth)
      *key = 0;
    else
      return Click::kEndsEditing;
    return Click::kActsAsKey;
  }
  if (row < f.row || row >= f.row + f.Rows() || column < f.column || column >= f.column + f.width) {
    return Click::kEndsEditing;
  }
  // The cursor goes to the clicked cell (never past the end of the value).
  f.position = std::min((row - f.row) * f.width + (column - f.column) + 1, f.Length() + 1);
  return Click::kMovedCursor;
}

int Translate(int key) {
  switch (key) {
    case kKeyShiftTab:
      return kKeyUp;
    case kKeyTab:
      return kKeyEnter;
    case kKeyCtrlF4:
    case kKeyAltF4:
      return kKeyEscape;
    default:
      break;
  }
  int ignored = 0;
  if (key == kKeyEnter && FindExitKey(kKeyEnd, &ignored)) return kKeyEnd;
  return key;
}

// The exit step: true (with *result) when key ends editing.
bool EndsEditing(int key, int* result) {
  key = Translate(key);
  if (ExitListEmpty()) {
    *result = key;
    return true;
  }
  if (FindExitKey(key, result)) return true;
  // Unlisted keys are ignored, except once the input has ended: then the
  // field ends with Escape rather than wait forever.
  if (Console().inputEnded) {
    *result = kKeyEscape;
    return true;
  }
  return false;
}

Field EnterField(int row, int column, int width, std::string& value, int position) {
  Field f;
  const ConsoleState& s = Console();
  const int offsetRow = s.depth > 0 ? s.window.top : 0;
  const int offsetColumn = s.depth > 0 ? s.window.left : 0;
  f.row = row == 0 ? terminal::CursorRow() : offsetRow + row;
  f.column = column == 0 ? terminal::CursorColumn() : offsetColumn + column;
  f.value = &value;
  f.width = width > 0 ? width : f.Length() + 1;
  f.position = std::clamp(position, 1, f.Length() + 1);
  f.items = ParseChoiceList(s.choiceList);
  f.mask = s.maskCharacter;
  if (f.Choice()) {
    f.current = CurrentItem(f.items, value);
    for (const ChoiceItem& item : f.items) {
      f.displayWidth = std::max(f.displayWidth, static_cast<int>(item.description.size()));
    }
    WriteAt(f.row, f.column - 1, std::string(1, kLeftMarker));
    WriteAt(f.row, f.column + f.displayWidth, std::string(1, kRightMarker));
  }
  return f;
}

}  // namespace

void EditField(int row, int column, int width, std::string& value, int& position, int& key) {
  Field f = EnterField(row, column, width, value, position);
  SetColour("u");
  terminal::SetCursorPosition(f.row, f.column);
  while (true) {
    if (f.redraw) Draw(f);
    f.insertMode = terminal::InsertToggle();
    if (f.Choice()) {
      terminal::ShowCursor(false);
    } else {
      PlaceCursor(f);
      terminal::SetCursorSize(f.insertMode ? kInsertCursor : kOverwriteCursor);
      terminal::ShowCursor(true);
    }
    bool click = false;
    int k = NextKey(f, &click);
    if (click) {
      const int code = k;
      const Click action = ResolveClick(f, code, &k);
      if (action == Click::kEndsEditing) {
        key = code;
        break;
      }
      if (action == Click::kMovedCursor) continue;
    }
    if (HandleFieldKey(f, k)) continue;
    if (EndsEditing(k, &key)) break;
    f.redraw = true;
  }
  SetColour("h");
  if (f.Choice()) {
    WriteAt(f.row, f.column - 1, " ");
    WriteAt(f.row, f.column + f.displayWidth, " ");
  }
  terminal::SetCursorPosition(f.row, f.column);
  position = f.position;
}

}  // namespace console
