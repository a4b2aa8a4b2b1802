// Shared by the console screen tests: a headless session whose backend
// keeps a copy of the screen at every wait for a key (so a test can see
// what a pop-up showed while it was open), key helpers, a fixed day, and
// the program state reset before and after (by the session).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/headless_session.h"
#include "terminal/headless_backend.h"

namespace screens_test {

// A headless backend that records the screen before each waiting read.
class RecordingConsole : public terminal::HeadlessConsole {
 public:
  terminal::ConsoleEvent ReadEvent(bool wait) override;
  std::vector<terminal::ConsoleScreen> seen;
};

// Row text (trailing blanks removed) and cells of a recorded screen.
std::string RowText(const terminal::ConsoleScreen& screen, int row);
std::string CellsText(const terminal::ConsoleScreen& screen, int row, int column, int length);

class ScreensTest : public ::testing::Test {
 protected:
  ScreensTest();

  // Extended keys by scan code: 0x48 Up, 0x50 Down, 0x49 Page Up, 0x51
  // Page Down, 0x4B Left, 0x4D Right, 0x3B F1, 0x3C F2, 0x3E F4.
  void Scan(int scanCode) { keys().PushKey(0, static_cast<std::uint8_t>(scanCode)); }
  void Type(const std::string& text) { keys().PushText(text); }
  RecordingConsole& keys() { return *console_; }

  testing_support::HeadlessSession session;

 private:
  RecordingConsole* console_;
};

inline constexpr int kUp = 0x48, kDown = 0x50, kPageUp = 0x49, kPageDown = 0x51;
inline constexpr int kLeft = 0x4B, kRight = 0x4D, kF1 = 0x3B, kF2 = 0x3C, kF4 = 0x3E;
inline constexpr int kHome = 0x47, kEnd = 0x4F;

}  // namespace screens_test
