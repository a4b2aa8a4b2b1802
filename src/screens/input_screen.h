// The input screen engine: runs one screen of office::ScreenForms(),
// drawing it, moving from field to field, editing each field with the
// field editor, checking it through the field hooks (selection_screens.h),
// opening browse lists on F4 and help on F1, following links to
// continuation screens, and asking LeaveScreen before it lets the operator
// leave.
#pragma once

namespace screens {

// Key code 2 (Ctrl+B), which leaves a screen like End.
inline constexpr int kKeyLeave = 2;

// Runs the screen and returns in key the key that ended it.  A negative
// screen number runs screen -screen as the continuation of another (Up on
// its first field leaves it with Escape).  mayLeaveUp / mayLeaveDown not 0:
// Page Up on the first / Page Down on the last field leaves the screen
// (and makes it the resume screen); 0: they only move to that field.
//
// Fields: Enter and Down move on, Up back, Page Up / Page Down to the first
// / last field, Escape to the first field and from there leaves, End and
// Ctrl+B leave, Enter on the last field leaves (or runs the linked screen),
// F2 runs the linked screen from any field, a click picks the field under
// it, and any other key the editor returns leaves.  A refused field beeps
// and is edited again; a refused exit goes back to the first field.  A
// screen that does not exist, or whose fields are all disabled and whose
// exit is refused, returns Escape at once.
void InputScreen(int screen, int mayLeaveUp, int mayLeaveDown, int& key);

}  // namespace screens
