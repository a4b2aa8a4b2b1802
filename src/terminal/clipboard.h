// Plain-text clipboard for copy and paste in fields.
//
// Text is code page 850.  A copy always goes to an internal buffer; when the
// system clipboard is enabled it also goes, as UTF-8, to wl-copy or xclip
// (when WAYLAND_DISPLAY or DISPLAY is set; each helper gets two seconds) and
// to the terminal as an OSC 52 sequence.  A paste takes the system
// clipboard's text when a helper can give it, converted to code page 850
// (characters outside it dropped), and otherwise the internal buffer.
// The system clipboard starts disabled, so tests and headless runs touch
// nothing outside the process; the terminal console enables it.  The reset
// of the program state empties the buffer and disables it again.
#pragma once

#include <string>
#include <string_view>

namespace terminal {

void CopyToClipboard(std::string_view text);
std::string PasteFromClipboard();

// Whether copies and pastes also use the system clipboard.
void EnableSystemClipboard(bool on);

}  // namespace terminal
