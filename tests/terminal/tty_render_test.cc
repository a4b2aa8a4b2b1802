// What the terminal renderer sends: only changed cells, ANSI colours in the
// right order, cursor shape, and the notice for a small terminal.
#include "terminal/tty_render.h"

#include <gtest/gtest.h>

#include "terminal/headless_backend.h"

namespace terminal {
namespace {

class TerminalRenderTest : public testing::Test {
 protected:
  void SetUp() override { UseHeadlessConsole(); }
  std::string Render() { return renderer_.Render(CurrentScreen()); }
  TerminalRenderer renderer_;
};

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST_F(TerminalRenderTest, FirstFrameSendsEveryCellAndAnUnchangedScreenNothing) {
  const std::string first = Render();
  EXPECT_EQ(first.rfind("\x1b[0m\x1b[2J", 0), 0u);
  EXPECT_EQ(Count(first, " ") - Count(first, " q"), 2000u);
  EXPECT_EQ(Render(), "");
}

TEST_F(TerminalRenderTest, OnlyChangedCellsAreSentWithOneMovePerRun) {
  Render();
  SetCursorPosition(3, 10);
  WriteText("ab");
  SetCursorPosition(20, 1);
  WriteText("\xC9");  // double-line corner
  SetCursorPosition(3, 12);
  EXPECT_EQ(Render(), "\x1b[3;10Hab\x1b[20;1H\u2554\x1b[3;12H");
}

TEST_F(TerminalRenderTest, ColoursAreSentInAnsiOrderAndOnlyWhenTheyChange) {
  Render();
  SetTextColour(4, 1);  // red on blue
  WriteText("x");
  SetTextColour(15, 1);  // bright white on blue
  WriteText("y");
  SetTextColour(15, 12);  // bright white on bright red
  WriteText("z");
  SetCursorPosition(1, 1);
  // The terminal's cursor already stands at 1,1: no move before x.
  EXPECT_EQ(Render(), "\x1b[31;44mx\x1b[97my\x1b[101mz\x1b[1;1H");
}

TEST_F(TerminalRenderTest, CursorShapeFollowsSizeAndHidingIsSent) {
  Render();
  SetCursorSize(99);
  EXPECT_EQ(Render(), "\x1b[2 q");
  SetCursorSize(50);
  EXPECT_EQ(Render(), "\x1b[4 q");
  ShowCursor(false);
  EXPECT_EQ(Render(), "\x1b[?25l");
}

TEST_F(TerminalRenderTest, SmallTerminalShowsANoticeUntilItGrows) {
  Render();
  renderer_.SetTerminalSize(24, 80);
  const std::string notice = Render();
  EXPECT_NE(notice.find("enlarge"), std::string::npos);
  EXPECT_NE(notice.find("80 x 24"), std::string::npos);
  WriteText("q");
  EXPECT_EQ(Render(), "");  // the notice stays, nothing else is drawn
  renderer_.SetTerminalSize(30, 100);
  const std::string full = Render();
  EXPECT_EQ(full.rfind("\x1b[0m\x1b[2J", 0), 0u);
  EXPECT_NE(full.find("q"), std::string::npos);
  EXPECT_NE(full.find("\x1b[?25h"), std::string::npos);
}

TEST_F(TerminalRenderTest, NoticeComesInTheTextSetAndIsWrappedAtSpaces) {
  Render();
  SetTooSmallNotice([](int columns, int rows) {
    return "El terminal fa " + std::to_string(columns) + " x " + std::to_string(rows) +
           " car\xC3\xA0" "cters; cal ampliar-lo";
  });
  renderer_.SetTerminalSize(10, 12);
  const std::string notice = Render();
  SetTooSmallNotice(nullptr);
  EXPECT_NE(notice.find("\x1b[1;1HEl terminal\x1b[2;1Hfa 12 x 10\x1b[3;1Hcar\xC3\xA0" "cters;"
                        "\x1b[4;1Hcal\x1b[5;1Hampliar-lo"),
            std::string::npos)
      << notice;
  EXPECT_EQ(WrapAtSpaces("abcdefgh ij", 3), (std::vector<std::string>{"abc", "def", "gh", "ij"}));
}

TEST_F(TerminalRenderTest, InvalidateRepaintsEverything) {
  Render();
  renderer_.Invalidate();
  const std::string again = Render();
  EXPECT_EQ(Count(again, " ") - Count(again, " q"), 2000u);
}

}  // namespace
}  // namespace terminal
