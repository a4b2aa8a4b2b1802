// The screen-form file and the tables it fills.
//
// FORMS\QANTIRES.QFM (under the installation root) describes the input
// screens and the browse lists: a sequence of values separated by commas or
// line ends, texts optionally in double quotes.  In order:
//   header          screen count A, largest field count B
//   A screens       key list; field count, link; window top, left, bottom,
//                   right; then per field: row, column, label, length, line
//                   width, description width, flags, type, browse list,
//                   prompt
//   browse count C
//   C browse lists  file identifier, key number, top, left, bottom, right,
//                   filter screen, title, sub-list
// Lines whose first non-space character is "'" are comments; they may stand
// before each group (header, screen, browse count, browse list), not inside
// one, where they would be read as data.  A truncated file leaves the rest
// of the tables empty.  Labels, prompts and titles are translated into the
// session language as they are read; every value starts as spaces.
//
// The reader is a state machine: header -> screens -> browse count ->
// browse lists -> done; end of file stops it in any state.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace office {

struct ScreenField {
  std::int16_t row = 0;
  std::int16_t column = 0;
  std::int16_t length = 0;
  std::int16_t lineWidth = 0;         // 0: one line
  std::int16_t descriptionWidth = 0;  // room after the value for a name
  std::int16_t flags = 0;             // 1, 2 blank start (2 masked), 4 disabled, 8 cursor at end
  std::int16_t type = 0;              // 0 text, 1 date, 2 and 3 number, 4 switch
  std::int16_t browseList = 0;
  std::string label;
  std::string prompt;
  std::string choiceList;  // "|" code "," description ...; empty for free text
  std::string value;
};

struct Screen {
  std::string keyList;  // extra exit keys of the screen
  std::int16_t link = 0;
  std::int16_t window[4] = {0, 0, 0, 0};  // top, left, bottom, right; top 0: no window
  std::vector<ScreenField> fields;        // fields[0] is field 1
};

struct BrowseDefinition {
  std::int16_t fileId = 0;
  std::int16_t keyNumber = 0;
  std::int16_t top = 0, left = 0, bottom = 0, right = 0;
  std::int16_t filterScreen = 0;
  std::int16_t subList = 0;
  std::string title;
};

struct ScreenFormState {
  std::int16_t largestFieldCount = 0;    // B of the header
  std::vector<Screen> screens;           // screens[0] is screen 1
  std::vector<BrowseDefinition> browse;  // browse[c] is list c; browse[0] unused
};
ScreenFormState& ScreenForms();

// Screen n (1-based) and field f of it (1-based); nullptr when absent.
Screen* ScreenAt(int n);
ScreenField* FieldAt(int screen, int field);

// Stores text as the value of a field, left-aligned in the value's length
// (padded or cut); nothing when the field does not exist.
void StoreFieldValue(int screen, int field, std::string_view text);

// "FORMS\" + program name + ".QFM", relative to the installation root.
std::string ScreenFormPath();

// Reads the form file into the tables (replacing them).  False when the
// file cannot be opened; a truncated or damaged file is read as far as it
// goes.
bool ReadScreenForm(const std::string& path);
// The same from the file's contents (also for tests and fuzzing).
void ReadScreenFormText(std::string_view contents);

// Presets the values of screen 1 for a new selection and, for customer
// variant 1, widens the collection-code fields to three digits.
void PresetSelection();

}  // namespace office
