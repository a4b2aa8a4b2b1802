// The console cell buffer and the headless backend.
#include "terminal/cell_buffer.h"

#include <gtest/gtest.h>

#include "platform/program_state.h"
#include "terminal/headless_backend.h"

namespace terminal {
namespace {

class ConsoleTest : public testing::Test {
 protected:
  void SetUp() override { con_ = &UseHeadlessConsole(); }
  HeadlessConsole* con_ = nullptr;
};

TEST_F(ConsoleTest, WriteUsesCurrentColourAndAdvancesTheCursor) {
  SetCursorPosition(3, 5);
  SetTextColour(15, 1);
  WriteText("AB\xC9");
  Cell cell;
  ASSERT_TRUE(ReadCell(3, 7, &cell));
  EXPECT_EQ(cell, (Cell{0xC9, 0x1F}));
  EXPECT_EQ(CursorRow(), 3);
  EXPECT_EQ(CursorColumn(), 8);
  EXPECT_EQ(ScreenRowText(3), "    AB\xC9");
}

TEST_F(ConsoleTest, WriteWrapsAtTheRightEdgeAndScrollsAtTheBottom) {
  SetCursorPosition(1, 79);
  WriteText("xyz");
  EXPECT_EQ(ScreenText(1, 79, 2), "xy");
  EXPECT_EQ(ScreenRowText(2), "z");
  SetCursorPosition(25, 80);
  SetTextAttribute(0x70);
  WriteText("!");  // the last cell: nothing moves yet
  EXPECT_EQ(ScreenRowText(1), std::string(78, ' ') + "xy");
  EXPECT_EQ(CursorRow(), 25);
  EXPECT_EQ(CursorColumn(), 80);
  WriteText("?");  // now the screen moves up one row
  EXPECT_EQ(ScreenRowText(1), "z");
  EXPECT_EQ(ScreenRowText(24), std::string(79, ' ') + "!");
  Cell cell;
  ReadCell(25, 2, &cell);
  EXPECT_EQ(cell, (Cell{' ', 0x70}));
  EXPECT_EQ(ScreenRowText(25), "?");
  EXPECT_EQ(CursorRow(), 25);
  EXPECT_EQ(CursorColumn(), 2);
}

TEST_F(ConsoleTest, PlacingTheCursorCancelsThePendingWrap) {
  SetCursorPosition(25, 79);
  WriteText("ab");
  SetCursorPosition(25, 1);
  WriteText("c");
  EXPECT_EQ(ScreenRowText(25), "c" + std::string(77, ' ') + "ab");
  EXPECT_EQ(ScreenRowText(24), "");
}

TEST_F(ConsoleTest, ControlBytesMoveOrBeepAndOtherLowBytesAreDrawn) {
  SetCursorPosition(2, 10);
  WriteText("ab\bc\tx\r>\n\x10\x11\a");
  EXPECT_EQ(ScreenRowText(2),
            std::string(">") + std::string(8, ' ') + "ac     x");  // tab: 12 to 17
  EXPECT_EQ(ScreenRowText(3), "\x10\x11");
  EXPECT_EQ(con_->Beeps(), 1);
}

TEST_F(ConsoleTest, CursorOutsideTheScreenKeepsThatCoordinate) {
  SetCursorPosition(4, 6);
  SetCursorPosition(26, 7);
  EXPECT_EQ(CursorRow(), 4);
  EXPECT_EQ(CursorColumn(), 7);
  SetCursorPosition(0, 81);
  EXPECT_EQ(CursorRow(), 4);
  EXPECT_EQ(CursorColumn(), 7);
  Cell cell{'q', 1};
  EXPECT_FALSE(ReadCell(26, 1, &cell));
  EXPECT_FALSE(ReadCell(1, 0, &cell));
  EXPECT_EQ(cell, (Cell{'q', 1}));
}

TEST_F(ConsoleTest, ScrollMovesOnlyTheRectangleAndBlanksInTheCurrentColour) {
  for (int r = 1; r <= 5; ++r) {
    SetCursorPosition(r, 1);
    WriteText(std::string(6, static_cast<char>('0' + r)));
  }
  SetTextAttribute(0x4E);
  ScrollRectangle(2, 2, 4, 4, 1);
  EXPECT_EQ(ScreenRowText(1), "111111");
  EXPECT_EQ(ScreenRowText(2), "233322");
  EXPECT_EQ(ScreenRowText(3), "344433");
  EXPECT_EQ(ScreenRowText(4), "4   44");
  EXPECT_EQ(ScreenRowText(5), "555555");
  Cell cell;
  ReadCell(4, 3, &cell);
  EXPECT_EQ(cell.attribute, 0x4E);
  ScrollRectangle(1, 1, 5, 1, -2);
  EXPECT_EQ(ScreenText(1, 1, 1) + ScreenText(3, 1, 1) + ScreenText(5, 1, 1), " 13");
}

TEST_F(ConsoleTest, ScrollClampsToTheScreenAndALargeCountBlanksAll) {
  SetCursorPosition(24, 1);
  WriteText("last");
  ScrollRectangle(20, -5, 40, 200, 100);
  EXPECT_EQ(ScreenRowText(24), "");
  SetCursorPosition(1, 1);
  WriteText("keep");
  ScrollRectangle(5, 5, 2, 2, 1);  // empty rectangle
  ScrollRectangle(1, 1, 25, 80, 0);
  EXPECT_EQ(ScreenRowText(1), "keep");
}

TEST_F(ConsoleTest, ScriptDeliversEventsInOrderThenEndOfInputCarryingEscape) {
  con_->PushText("a\r");
  con_->PushKey(0, 0x4B, kLeftCtrl);
  con_->PushClick(3, 10, 2);
  ConsoleEvent e = NextConsoleEvent();
  EXPECT_EQ(e.kind, EventKind::kKey);
  EXPECT_EQ(e.character, 'a');
  EXPECT_EQ(e.scanCode, 0x1E);
  e = NextConsoleEvent();
  EXPECT_EQ(e.character, 13);
  EXPECT_EQ(e.scanCode, 0x1C);
  e = PollConsoleEvent();
  EXPECT_EQ(e.scanCode, 0x4B);
  EXPECT_EQ(e.controlKeys, kLeftCtrl);
  e = NextConsoleEvent();
  EXPECT_EQ(e.kind, EventKind::kMouseRelease);
  EXPECT_EQ(e.row, 3);
  EXPECT_EQ(e.column, 10);
  EXPECT_EQ(e.button, 2);
  EXPECT_EQ(PollConsoleEvent().kind, EventKind::kNone);
  e = NextConsoleEvent();
  EXPECT_EQ(e.kind, EventKind::kEndOfInput);
  EXPECT_EQ(e.character, 27);
  EXPECT_EQ(con_->Presents(), 6);  // every read shows the screen first
}

TEST_F(ConsoleTest, ControlLettersAndAltKeypadArriveAsTheKeysThatMakeThem) {
  con_->PushText("\x03Z");
  con_->PushAltKeypad("164");
  ConsoleEvent e = NextConsoleEvent();
  EXPECT_EQ(e.character, 3);
  EXPECT_EQ(e.scanCode, 0x2E);
  EXPECT_EQ(e.controlKeys, kLeftCtrl);
  EXPECT_EQ(NextConsoleEvent().controlKeys, kShift);
  const std::uint8_t expected[] = {0x4F, 0x4D, 0x4B};
  for (std::uint8_t scan : expected) {
    e = NextConsoleEvent();
    EXPECT_EQ(e.scanCode, scan);
    EXPECT_EQ(e.character, 0);
    EXPECT_EQ(e.controlKeys, kLeftAlt);
  }
  e = NextConsoleEvent();
  EXPECT_FALSE(e.keyDown);
  EXPECT_EQ(e.controlKeys, 0);
}

TEST_F(ConsoleTest, DumpShowsTextAndAttributeRuns) {
  SetTextAttribute(0x70);
  WriteText("Title");
  SetTextAttribute(0x07);
  const std::string dump = DumpScreen(true);
  EXPECT_EQ(dump.substr(0, dump.find('\n')), "Title |70*5 07*75");
  EXPECT_EQ(DumpScreen(false), "Title\n" + std::string(24, '\n'));
}

TEST_F(ConsoleTest, ResetRestoresOverwriteModeAndABlankScreen) {
  SetInsertToggle(true);
  SetCursorSize(0);
  EXPECT_EQ(CursorSize(), 1);
  WriteText("x");
  UseHeadlessConsole();
  EXPECT_FALSE(InsertToggle());
  EXPECT_EQ(ScreenRowText(1), "");
  EXPECT_EQ(CursorColumn(), 1);
}

TEST_F(ConsoleTest, TheInputWaitHookOutlivesResetConsoleButNotTheProgramStateReset) {
  int runs = 0;
  SetInputWaitHook([&runs] { ++runs; });
  ResetConsole();
  NextConsoleEvent();
  EXPECT_EQ(runs, 1);
  platform::ResetProgramState();
  NextConsoleEvent();
  EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace terminal
