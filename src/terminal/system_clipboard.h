// The desktop's clipboard, reached through helper programs, and the
// terminal's (OSC 52).
#pragma once

#include <string>
#include <string_view>

namespace terminal {

// Sends code page 850 text, as UTF-8, to the terminal as an OSC 52 sequence
// on standard output, and to wl-copy (WAYLAND_DISPLAY set) or xclip (DISPLAY
// set).  Failures are silent: the internal buffer still holds the text.
void CopyToSystemClipboard(std::string_view text);

// Reads the desktop clipboard with wl-paste or xclip into *text as code
// page 850.  False when no display is set or the helper fails or takes more
// than two seconds.
bool PasteFromSystemClipboard(std::string* text);

// The OSC 52 sequence that puts UTF-8 text on the terminal's clipboard.
std::string Osc52Sequence(std::string_view utf8);

}  // namespace terminal
