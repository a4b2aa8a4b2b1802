// The window stack in WinPush.tmp, frames, window-relative positions and
// the rectangle scroll, on the headless console.
#include "console/window.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "../support/headless_session.h"
#include "console/cells.h"
#include "console/console_state.h"
#include "platform/paths.h"
#include "terminal/cell_buffer.h"
#include "terminal/headless_backend.h"

namespace {

using terminal::ScreenRowText;

class WindowTest : public ::testing::Test {
 protected:
  // Every cell different in character and colour, so a wrong restore shows.
  void FillScreen() {
    for (int r = 1; r <= 25; ++r) {
      terminal::SetCursorPosition(r, 1);
      terminal::SetTextAttribute(static_cast<std::uint8_t>(r * 5));
      std::string row;
      for (int c = 1; c <= 80; ++c) row += static_cast<char>('!' + (r + c) % 90);
      console::WriteAt(r, 1, row);
    }
    terminal::SetCursorPosition(7, 33);
  }
  std::string SaveFile() const { return session.Session("WinPush.tmp"); }
  bool SaveFileExists() const { return platform::FileExists(SaveFile()); }

  testing_support::HeadlessSession session;
};

}  // namespace

TEST_F(WindowTest, OffScreenCornerDoesNothing) {
  console::OpenWindow(2, 2, 26, 10);
  console::OpenWindow(0, 2, 5, 10);
  console::OpenWindow(2, 2, 5, 81);
  EXPECT_EQ(console::Console().depth, 0);
  EXPECT_FALSE(SaveFileExists());
}

TEST_F(WindowTest, NestedOpenAndCloseRestoreScreenCursorAndWindow) {
  FillScreen();
  const std::string before = terminal::DumpScreen(true);
  console::OpenWindow(3, 5, 10, 40);
  console::DrawFrame(1);
  console::WindowLocate(2, 2);
  console::OpenWindow(1, 1, 25, 80);  // the whole screen, bottom-right cell included
  console::DrawFrame(2);
  EXPECT_EQ(console::Console().depth, 2);
  EXPECT_EQ(terminal::ScreenText(25, 80, 1), "\xBC");
  EXPECT_EQ(terminal::ScreenText(24, 80, 1), "\xBA");
  console::CloseWindow();
  EXPECT_EQ(console::Console().window, (console::WindowRect{3, 5, 10, 40}));
  EXPECT_EQ(terminal::CursorRow(), 5);
  EXPECT_EQ(terminal::CursorColumn(), 7);
  console::CloseWindow();
  EXPECT_EQ(terminal::DumpScreen(true), before);
  EXPECT_EQ(terminal::CursorRow(), 7);
  EXPECT_EQ(terminal::CursorColumn(), 33);
  EXPECT_EQ(console::Console().depth, 0);
  EXPECT_EQ(console::Console().window, console::WindowRect{});
  EXPECT_FALSE(SaveFileExists());
}

TEST_F(WindowTest, SaveFileHoldsTheEntryByteForByte) {
  terminal::SetTextAttribute(0x1E);
  console::WriteAt(5, 10, "ABCD");
  terminal::SetCursorPosition(2, 3);
  console::OpenWindow(5, 10, 7, 13);
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(SaveFile(), &bytes));
  std::string expected("\x36\0\0\0", 4);  // next entry at 54
  expected +=
      "0203"
      "00000000"
      "05100713";
  expected += std::string(
      "A\x1E"
      "B\x1E"
      "C\x1E"
      "D\x1E");
  for (int i = 0; i < 8; ++i) expected += " \x07";
  expected += "00049";
  EXPECT_EQ(bytes, expected);
}

TEST_F(WindowTest, ALinkUnderTheSaveFilesNameIsReplacedNotWrittenThrough) {
  session.dir().Write("Unitats.dat", "records");
  ASSERT_EQ(::symlink(session.Session("Unitats.dat").c_str(), SaveFile().c_str()), 0);
  console::WriteAt(5, 10, "ABCD");
  console::OpenWindow(5, 10, 5, 13);
  EXPECT_EQ(session.dir().Read("Unitats.dat"), "records");
  console::WriteAt(5, 10, "wxyz");
  console::CloseWindow();
  EXPECT_EQ(terminal::ScreenText(5, 10, 4), "ABCD");
  EXPECT_EQ(session.dir().Read("Unitats.dat"), "records");
  EXPECT_FALSE(SaveFileExists());
}

TEST_F(WindowTest, LeftoverStackFromAnotherRunIsTrusted) {
  terminal::SetTextAttribute(0x1E);
  console::WriteAt(5, 10, "ABCD");
  console::OpenWindow(5, 10, 5, 13);
  session.Restart();
  console::WriteAt(5, 10, "wxyz");
  console::CloseWindow();
  EXPECT_EQ(terminal::ScreenText(5, 10, 4), "ABCD");
  EXPECT_FALSE(SaveFileExists());
}

// A damaged or foreign save file restores nothing and is removed; the
// depth still goes down by the window the caller closes.
TEST_F(WindowTest, DamagedSaveFileRestoresNothing) {
  auto entry = [](std::string numbers, std::string image, std::string length) {
    return numbers + image + length;
  };
  const std::string numbers = "01010000000001010101";  // a 1 x 1 window at 1,1
  const std::string good = entry(numbers, "  ", "00027");
  auto header = [](int p) {
    return std::string{static_cast<char>(p & 0xFF), static_cast<char>((p >> 8) & 0xFF),
                       static_cast<char>((p >> 16) & 0xFF), static_cast<char>((p >> 24) & 0xFF)};
  };
  const std::string cases[] = {
      header(32) + good.substr(0, 20),                            // truncated
      header(32 + 1000) + good,                                   // position beyond the end
      header(-7) + good,                                          // negative position
      header(32) + entry(numbers, "  ", "0002x"),                 // length not digits
      header(32) + entry("0101000000000a010101", "  ", "00027"),  // number not digits
      header(32) + entry(numbers, "  ", "99999"),                 // length before the start
      header(32) + entry("01010000000001019999", "  ", "00027"),  // huge rectangle
      header(32) + entry("01010000000001010102", "  ", "00027"),  // image too short
      header(30) + entry("01010000000001010505", "", "00025"),    // image missing
      std::string("\x05\0\0", 3),                                 // header cut short
  };
  for (const std::string& bytes : cases) {
    console::WriteAt(1, 1, "unchanged");
    session.dir().Write("WinPush.tmp", bytes);
    console::Console().depth = 1;
    const std::string before = terminal::DumpScreen(true);
    console::CloseWindow();
    EXPECT_EQ(terminal::DumpScreen(true), before);
    EXPECT_EQ(console::Console().depth, bytes.size() > 3 ? 0 : 1);
    EXPECT_FALSE(SaveFileExists());
  }
}

TEST_F(WindowTest, OpenOverBadNextPositionStartsTheStackAgain) {
  session.dir().Write("WinPush.tmp", std::string("\xff\xff\0\0", 4));
  console::OpenWindow(1, 1, 1, 1);
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(SaveFile(), &bytes));
  EXPECT_EQ(bytes.size(), 4u + 27u);
  EXPECT_EQ(bytes[0], 5 + 27);
  console::CloseWindow();
  EXPECT_FALSE(SaveFileExists());
}

TEST_F(WindowTest, FramesByStyle) {
  console::WriteAt(4, 1, std::string(80, '#'));
  console::OpenWindow(3, 5, 6, 14);
  console::DrawFrame(2);
  EXPECT_EQ(terminal::ScreenText(3, 5, 10), "\xC9" + std::string(8, '\xCD') + "\xBB");
  EXPECT_EQ(ScreenRowText(4),
            std::string(4, '#') + "\xBA" + std::string(8, ' ') + "\xBA" + std::string(66, '#'));
  EXPECT_EQ(terminal::ScreenText(6, 5, 10), "\xC8" + std::string(8, '\xCD') + "\xBC");
  EXPECT_EQ(terminal::CursorRow(), 6);
  EXPECT_EQ(terminal::CursorColumn(), 15);
  console::DrawFrame(1);
  EXPECT_EQ(terminal::ScreenText(3, 5, 3), "\xDA\xC4\xC4");
  console::DrawFrame(7);
  EXPECT_EQ(terminal::ScreenText(6, 5, 2), std::string(2, '\0'));
}

TEST_F(WindowTest, DrawFrameWithoutWindowDoesNothing) {
  const std::string before = terminal::DumpScreen(true);
  console::DrawFrame(1);
  EXPECT_EQ(terminal::DumpScreen(true), before);
}

TEST_F(WindowTest, PositionsRelativeToTheWindow) {
  EXPECT_EQ(console::WindowFirstRow(), 1);
  EXPECT_EQ(console::WindowFirstColumn(), 1);
  EXPECT_EQ(console::WindowLastColumn(), 80);
  console::WindowLocate(3, 4);
  EXPECT_EQ(terminal::CursorRow(), 3);
  console::OpenWindow(5, 10, 12, 70);
  console::WindowLocate(1, 1);
  EXPECT_EQ(terminal::CursorRow(), 6);
  EXPECT_EQ(terminal::CursorColumn(), 11);
  EXPECT_EQ(console::WindowFirstRow(), 6);
  EXPECT_EQ(console::WindowFirstColumn(), 11);
  EXPECT_EQ(console::WindowLastColumn(), 69);
  EXPECT_EQ(console::ScreenRows(), 25);
  EXPECT_EQ(console::ScreenColumns(), 80);
}

TEST_F(WindowTest, ScrollRegionTakesZeroBasedCornersAndZeroLinesMovesDown) {
  console::WriteAt(1, 1, "aaaa");
  console::WriteAt(2, 1, "bbbb");
  console::ScrollRegion(0, 0, 2, 1, 0);
  EXPECT_EQ(ScreenRowText(1), "  aa");
  EXPECT_EQ(ScreenRowText(2), "aabb");
  EXPECT_EQ(ScreenRowText(3), "bb");
  console::ScrollRegion(0, 0, 2, 1, 2);
  EXPECT_EQ(ScreenRowText(1), "bbaa");
  EXPECT_EQ(ScreenRowText(2), "  bb");
}
