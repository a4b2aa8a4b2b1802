// The headless console backend: input from a script that tests fill, output
// kept only in the cell buffer, which tests read back as text.
//
//   HeadlessConsole& con = terminal::UseHeadlessConsole();
//   con.PushText("AB");                      // two typed characters
//   con.PushKey(0, 0x4B, terminal::kLeftCtrl);  // Ctrl+Left
//   con.PushAltKeypad("164");                // Alt held, keypad 1 6 4, Alt released
//   con.PushClick(3, 10, 1);                 // left button released on row 3, column 10
//   ... run the code under test ...
//   EXPECT_EQ(terminal::ScreenRowText(1), "...");
//
// A script that has run dry never blocks: a poll returns kNone and every
// waiting read returns kEndOfInput (which carries Escape in its key fields).  So
// that a reader that ignores Escape fails a test instead of hanging it,
// the 10,000th waiting read past the end aborts the process with a message.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "terminal/cell_buffer.h"

namespace terminal {

class HeadlessConsole : public ConsoleBackend {
 public:
  static constexpr int kDryReadLimit = 10000;

  // Queues one key event.
  void PushKey(std::uint8_t character, std::uint8_t scanCode, std::uint16_t controlKeys = 0);
  // Queues each byte as the key that types it (scan codes for letters,
  // digits, Enter, Escape, Backspace, Tab; Ctrl set for bytes 1 to 26 other
  // than 8, 9 and 13).
  void PushText(std::string_view text);
  // Queues the events of holding left Alt, typing digits on the keypad with
  // Num Lock off (each digit arrives as its navigation key: 0 Insert,
  // 1 End, 2 Down, 3 PgDn, 4 Left, 5 centre, 6 Right, 7 Home, 8 Up, 9 PgUp)
  // and letting Alt go.  Characters other than digits are skipped.
  void PushAltKeypad(std::string_view digits);
  // Queues a button release over (row, column); button 1 left, 2 right.
  void PushClick(int row, int column, int button);
  void PushEvent(const ConsoleEvent& event);

  // Events still queued.
  size_t Pending() const { return events_.size(); }
  int Beeps() const { return beeps_; }
  int Presents() const { return presents_; }
  // Mouse buttons reported to the program; 2 unless set.
  void SetMouseButtons(int buttons) { mouseButtons_ = buttons; }

  void Present(const ConsoleScreen& screen) override;
  ConsoleEvent ReadEvent(bool wait) override;
  void Beep() override { ++beeps_; }
  int MouseButtons() const override { return mouseButtons_; }

 private:
  std::deque<ConsoleEvent> events_;
  int beeps_ = 0;
  int presents_ = 0;
  int mouseButtons_ = 2;
  int dryReads_ = 0;
};

// Resets the console (ResetConsole) and returns its fresh headless backend.
HeadlessConsole& UseHeadlessConsole();

// The code page 850 bytes of `length` cells from (row, column), cut at the
// screen's right edge.
std::string ScreenText(int row, int column, int length);
// One row's bytes with trailing blanks removed.
std::string ScreenRowText(int row);
// The whole screen, one line per row ending in "\n", trailing blanks removed.
// With attributes each line is followed by " |" and the row's attributes as
// runs "aa*n" in hexadecimal, e.g. "Title |70*6 07*74".
std::string DumpScreen(bool withAttributes);

}  // namespace terminal
