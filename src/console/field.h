// The field editor: EditField edits a fixed-length text in place on the
// screen, ending on an exit key; SetExitKeys and SetChoiceList set how the
// following fields behave.
#pragma once

#include <string>
#include <string_view>

namespace console {

// Applies commands letter by letter (case-insensitive):
//   E  empty the exit-key and exit-result lists (every key the editor does
//      not handle then ends editing);
//   A  append each key of `keys`: "code" ends editing with code, and
//      "code=result" ends it returning result instead;
//   D  remove the first occurrence of each key of `keys` and its result;
//   +  save both lists, unless a copy is already saved;
//   -  restore the saved copy, if any, and forget it;
//   H  mask on (the field shows "X"s);  V  mask off.
// Other letters are ignored.  `keys` is a comma-separated list of
// hexadecimal codes ("1b,d=4f00,3b00"); each is read as a 16-bit pattern.
void SetExitKeys(std::string_view commands, std::string_view keys);

// The choice list for the following fields: items "|code,description", as
// in "|S,S\xA1|N,No"; the empty text makes them free-text fields again.
void SetChoiceList(std::string_view list);

// Edits value at (row, column) relative to the current window (0: the
// cursor's row or column) in rows of width characters (0: one row of the
// value's length + 1).  position is the 1-based cursor position in the
// value, clamped to 1 .. length + 1 on entry and left where editing ended.
// The value's length never changes.  Returns in key the exit key after
// translation (Tab as Enter, Shift+Tab as Up, Ctrl+F4 and Alt+F4 as Escape,
// Enter as End when End is an exit key, then the exit-result list), or
// -(column * 100 + row) for a click outside the field.  The field keeps the
// editing colour on the screen until the caller redraws it.
void EditField(int row, int column, int width, std::string& value, int& position, int& key);

}  // namespace console
