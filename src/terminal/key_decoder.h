// Terminal input bytes to console events.
//
// Decodes what xterm, tmux, the Linux console, rxvt and PuTTY send into the
// Win32-style key events of console.h (character, scan code, control keys),
// so that the keyboard layer sees the same events whatever the terminal:
//   - plain bytes: printable ASCII, UTF-8 (turned into code page 850; other
//     characters are dropped), Ctrl+letter bytes 1..26, Enter 13, Tab 9,
//     Backspace 127 or 8, Escape;
//   - CSI sequences with modifier parameters ("ESC [ 1 ; 5 D" Ctrl+Left,
//     "ESC [ 15 ; 2 ~" Shift+F5), the VT "ESC [ n ~" keys, the Linux
//     console's F1..F5 "ESC [ [ A".."E", rxvt's "$" (Shift) "^" (Ctrl) "@"
//     (Ctrl+Shift) finals and lower-case Shift arrows "ESC [ a";
//   - SS3 sequences "ESC O P".."S" (F1..F4) and the keypad; "ESC O A".."D"
//     and rxvt's "ESC O a".."d" are Ctrl+arrows, which is what PuTTY and
//     rxvt send while cursor keys are in normal mode (the terminal console
//     keeps them there, so xterm and tmux send "ESC [ A" for plain arrows);
//   - CSI u ("ESC [ 99 ; 5 u") and modifyOtherKeys ("ESC [ 27 ; 5 ; 99 ~");
//   - an ESC in front of a key means Alt with that key; an ESC with nothing
//     after it within the escape timeout is the Escape key;
//   - SGR mouse reports ("ESC [ < b ; x ; y m"): a release of the left or
//     right button becomes a kMouseRelease event; presses, motion and the
//     wheel give nothing.
// Shift+Tab is {0, 0x0F, kShift}; Alt+letter is {0, letter scan, kLeftAlt};
// Ctrl+letter is {letter & 31, letter scan, kLeftCtrl}; keys that type
// nothing carry character 0.  Unknown sequences are swallowed whole.
#pragma once

#include <string>
#include <string_view>

#include "terminal/cell_buffer.h"

namespace terminal {

class KeyDecoder {
 public:
  // Longest sequence kept while waiting for its end; a longer one is dropped.
  static constexpr size_t kMaxSequence = 64;

  // Adds bytes read from the terminal.
  void Feed(std::string_view bytes) { buffer_.append(bytes); }

  // Takes the next event from the bytes fed so far.  Returns false when none
  // is complete.  With timedOut true (no byte came within the escape
  // timeout) a sequence that has begun is decoded as it stands: a lone ESC
  // is the Escape key, ESC followed by "[" or "O" is Alt with that key, and
  // an unfinished longer sequence or UTF-8 character is dropped.
  bool Next(ConsoleEvent* event, bool timedOut = false);

  // True when bytes are waiting that may be the start of a sequence.
  bool Pending() const { return !buffer_.empty(); }

 private:
  std::string buffer_;
};

}  // namespace terminal
