// The field hooks of the input screens and the selection screens of the
// issuing run: how each field type is shown and checked, the decoration of
// screen 1, the selection made when screen 1 is left (with the
// confirmation on screen 2), and the rows and values of the browse lists.
//
// Screens and fields are numbered from 1 as in office::ScreenForms().
// Positions are relative to the current window.
#pragma once

#include <string>

namespace screens {

// The menu title centred on screen row 1 in colour "rh", the labels, for
// screen 1 its rules and headings, then every field in colour "h".
void DrawScreen(int screen);

// Shows one field's value at its place.  A switch (type 4) first enables
// the next two fields when its value is "S" and disables them otherwise,
// and shows them.  Disabled fields show dashes over the value and the
// description area; masked fields (flag 2) show nothing; dates, numbers
// and choice fields show their display form.
void ShowField(int screen, int field);

// Checks a typed text for the field by its type (dates, numbers) and, when
// accepted, stores it padded or cut to the value's length and shows it.
// A blank date takes the working date; a new date puts its month into the
// field five places further on.  Returns 0 to accept, non-zero to refuse.
int AcceptField(int screen, const std::string& text, int field, int key);

// 0 lets the operator leave the screen.  Escape and screens other than 1
// always leave.  Screen 1 sets office::CurrentSelection() from its fields;
// an incomplete selection is refused; otherwise screen 2 asks for
// confirmation and only "S" there lets screen 1 be left.
int LeaveScreen(int screen, int key);

// Stores the record a browse list left in its record area into the field
// (through AcceptField).
void TakeBrowseChoice(int list, int screen, int field);

// The row of a browse list for the record just read; empty for a list
// that has no rows of its own.
std::string BrowseRowText(int list);

// The key a browse list starts at and is limited to: for lists 2 and 3 the
// property typed in field 2 or 4 of screen 1; empty (every record) for the
// others.
std::string BrowseStartKey(int list);

}  // namespace screens
