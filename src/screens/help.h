// Help on a topic: on a Windows workstation an HTML page opened by the
// package's start command, elsewhere the text help file in a scrolling
// window.
#pragma once

#include <string>

namespace screens {

// The topic of the menu program's general help.
inline constexpr char kGeneralHelpTopic[] = "KOPAMENU";

// Shows the help for the topic and returns when the operator leaves it.
//
// PlatformKind "WIN": runs COMSPEC with "/C QLAUNCH AJUDA\<topic>.HTM" and
// waits for it (nothing happens when COMSPEC is not set).
//
// Otherwise shows AJUDA\<topic>.HLP (relative to the working directory),
// read as records of ScreenColumns() bytes, one a line, in a double-framed
// window from row 4 to ScreenRows() - 3 over the whole width.  Keys, read
// straight from the console (no hot keys, no mouse): Up, Down, Page Up,
// Page Down, Home, End scroll; F1 opens the general help (not from inside
// it); Escape leaves.  In a line the bytes 0x1E, 0x1F and 0x10 toggle the
// colours "h", "u" and "r" and are not shown; line-end and other moving
// control bytes show as blanks; at most 76 characters are shown.  A missing
// file shows an empty window.
void ShowHelp(const std::string& topic);

}  // namespace screens
