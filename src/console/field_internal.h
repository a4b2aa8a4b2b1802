// Shared between the parts of the field editor: the state of the field
// being edited, its key table and the exit-key lookup.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace console {

struct ChoiceItem {
  std::string code;
  std::string description;
};

// Items of a choice list "|code,description|...": text before the first
// "|" is ignored, an item without a comma is all code.
std::vector<ChoiceItem> ParseChoiceList(std::string_view list);

// The field being edited.  row and column are the screen cell of its first
// character; position is 1-based in value.
struct Field {
  int row = 0;
  int column = 0;
  int width = 1;
  std::string* value = nullptr;
  int position = 1;
  std::vector<ChoiceItem> items;  // empty for a free-text field
  int current = 0;                // the item shown
  int displayWidth = 0;           // longest description
  bool redraw = true;
  bool insertMode = false;
  int mask = 0;

  bool Choice() const { return !items.empty(); }
  int Length() const { return static_cast<int>(value->size()); }
  // Rows the free text takes on the screen (at least one).
  int Rows() const { return Length() <= width ? 1 : (Length() + width - 1) / width; }
};

// Applies a key of the editor's key table.  True when the key was handled
// (editing goes on), false when it goes to the exit step.
bool HandleFieldKey(Field& field, int key);

// Word moves over the separators " ,.;:".  WordLeft: the start of the word
// before position; WordRight: the start of the next word after position,
// or length + 1.
int WordLeft(const std::string& value, int position);
int WordRight(const std::string& value, int position);

// The exit-key lists: whether key is listed (and the code that replaces
// it), and whether the list is empty.
bool FindExitKey(int key, int* result);
bool ExitListEmpty();

}  // namespace console
