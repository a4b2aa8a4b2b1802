// The field editor on the headless console: typing in both modes, the key
// table, word moves, multi-row fields, exit keys, choice fields, the mask,
// clicks and the clipboard.
#include <gtest/gtest.h>

#include <string>

#include "../support/headless_session.h"
#include "console/console_state.h"
#include "console/field.h"
#include "console/field_internal.h"
#include "console/keyboard.h"
#include "terminal/cell_buffer.h"
#include "terminal/clipboard.h"
#include "terminal/headless_backend.h"

namespace {

struct Outcome {
  std::string value;
  int position;
  int key;
};

class EditFieldTest : public ::testing::Test {
 protected:
  EditFieldTest() { console::SetExitKeys("e", ""); }

  terminal::HeadlessConsole& con() { return session.console(); }
  void Push(int key) {
    if (key < 256) {
      con().PushText(std::string(1, static_cast<char>(key)));
    } else {
      const std::uint16_t modifiers = key == 0x7300 || key == 0x7400 || key == 0x7700
                                          ? terminal::kLeftCtrl
                                          : (key == 0x0F00 ? terminal::kShift : 0);
      const int scan = key == 0x7300   ? 0x4B
                       : key == 0x7400 ? 0x4D
                       : key == 0x7700 ? 0x47
                                       : key >> 8;
      con().PushKey(0, static_cast<std::uint8_t>(scan), modifiers);
    }
  }
  // Edits value at row 2, column 5 with the given keys.
  Outcome Edit(std::string value, int position, std::initializer_list<int> keys, int width = 0) {
    for (int k : keys) Push(k);
    int key = 0;
    console::EditField(2, 5, width, value, position, key);
    return {value, position, key};
  }
  testing_support::HeadlessSession session;
};

}  // namespace

TEST_F(EditFieldTest, OverwriteStopsAtTheEnd) {
  const Outcome o = Edit("AB  ", 3, {'C', 'D', 'E', 13});
  EXPECT_EQ(o.value, "ABCD");
  EXPECT_EQ(o.position, 5);
  EXPECT_EQ(o.key, 13);
  EXPECT_EQ(terminal::ScreenText(2, 5, 5), "ABCD ");
}

TEST_F(EditFieldTest, InsertNeedsATrailingBlank) {
  terminal::SetInsertToggle(true);
  EXPECT_EQ(Edit("ABCD", 2, {'X', 13}).value, "ABCD");
  EXPECT_EQ(Edit("AB C", 1, {'X', 13}).value, "AB C");
  const Outcome o = Edit("ABC ", 1, {'X', 13});
  EXPECT_EQ(o.value, "XABC");
  EXPECT_EQ(o.position, 2);
  EXPECT_EQ(terminal::CursorSize(), 50);
}

TEST_F(EditFieldTest, InsertKeyTogglesTheKeyboardState) {
  Edit("A   ", 1, {0x5200, 'X', 13});
  EXPECT_TRUE(terminal::InsertToggle());
  EXPECT_EQ(Edit("A   ", 1, {'X', 0x5200, 'Y', 13}).value, "XY  ");
  EXPECT_FALSE(terminal::InsertToggle());
}

TEST_F(EditFieldTest, DeletingKeepsTheLength) {
  EXPECT_EQ(Edit("ABCD", 1, {8, 13}).value, "ABCD");
  EXPECT_EQ(Edit("ABCD", 5, {0x5300, 13}).value, "ABCD");
  const Outcome back = Edit("ABCD", 3, {8, 13});
  EXPECT_EQ(back.value, "ACD ");
  EXPECT_EQ(back.position, 2);
  EXPECT_EQ(Edit("ABCD", 1, {0x5300, 13}).value, "BCD ");
  EXPECT_EQ(Edit("ABCD", 3, {25, 13}).value, "    ");
  EXPECT_EQ(Edit("ABCD", 3, {0x7700, 13}).position, 1);
}

TEST_F(EditFieldTest, DeleteOnTheLastCharacterOfAFullFieldBlanksIt) {
  const Outcome o = Edit("ABCD", 4, {0x5300, 13});
  EXPECT_EQ(o.value, "ABC ");
  EXPECT_EQ(o.position, 4);
}

TEST_F(EditFieldTest, HomeEndAndArrows) {
  EXPECT_EQ(Edit("AB  ", 1, {0x4F00, 13}).position, 3);
  EXPECT_EQ(Edit("ABCD", 1, {0x4F00, 13}).position, 5);
  EXPECT_EQ(Edit("ABCD", 4, {0x4700, 13}).position, 1);
  EXPECT_EQ(Edit("ABCD", 1, {0x4B00, 13}).position, 1);
  EXPECT_EQ(Edit("ABCD", 4, {0x4D00, 0x4D00, 0x4D00, 13}).position, 5);
  EXPECT_EQ(Edit("ABCD", 9, {13}).position, 5);  // clamped on entry
  EXPECT_EQ(Edit("ABCD", -3, {13}).position, 1);
}

TEST_F(EditFieldTest, WordMoves) {
  EXPECT_EQ(Edit("ab, cd", 1, {0x7400, 13}).position, 5);
  EXPECT_EQ(Edit("ab, cd", 7, {0x7300, 13}).position, 5);
  EXPECT_EQ(Edit("ab, cd", 5, {0x7300, 13}).position, 1);
  EXPECT_EQ(Edit("ab, cd", 5, {0x7400, 13}).position, 7);
  // At either end the move ends editing instead.
  EXPECT_EQ(Edit("ab, cd", 1, {0x7300}).key, 0x7300);
  EXPECT_EQ(Edit("ab, cd", 7, {0x7400}).key, 0x7400);
  EXPECT_EQ(console::WordLeft("x.;:y z", 7), 5);
  EXPECT_EQ(console::WordRight("x.;:y z", 1), 5);
}

TEST_F(EditFieldTest, MultiRowField) {
  std::string value;
  for (char c = 'a'; c < 'a' + 30; ++c) value += c;
  const Outcome down = Edit(value, 4, {0x5000, 13}, 10);
  EXPECT_EQ(down.position, 14);
  EXPECT_EQ(terminal::ScreenText(2, 5, 11), value.substr(0, 10) + " ");
  EXPECT_EQ(terminal::ScreenText(3, 5, 10), value.substr(10, 10));
  EXPECT_EQ(terminal::ScreenText(4, 5, 10), value.substr(20, 10));
  EXPECT_EQ(Edit(value, 24, {0x5000}, 10).key, 0x5000);
  EXPECT_EQ(Edit(value, 14, {0x4800, 13}, 10).position, 4);
  EXPECT_EQ(Edit(value, 4, {0x4800}, 10).key, 0x4800);
  // One past the end of a full last row: the cursor stays on that row.
  Edit(value, 31, {13}, 10);
  EXPECT_EQ(terminal::CursorRow(), 2);  // back at the field start on leaving
}

TEST_F(EditFieldTest, ExitTranslationWithEmptyList) {
  EXPECT_EQ(Edit("AB", 1, {13}).key, 13);
  EXPECT_EQ(Edit("AB", 1, {9}).key, 13);
  EXPECT_EQ(Edit("AB", 1, {0x0F00}).key, 0x4800);
  EXPECT_EQ(Edit("AB", 1, {0x6100}).key, 27);
  EXPECT_EQ(Edit("AB", 1, {0x3B00}).key, 0x3B00);
}

TEST_F(EditFieldTest, ExitListTranslatesAndIgnoresTheRest) {
  console::SetExitKeys("a", "1b,d=4f00");
  EXPECT_EQ(Edit("AB", 1, {0x3B00, 27}).key, 0x1B);
  EXPECT_EQ(Edit("AB", 1, {0x3B00, 13}).key, 0x4F00);
  console::SetExitKeys("ea", "1b,4f00=3b00");
  EXPECT_EQ(Edit("AB", 1, {13}).key, 0x3B00);  // Enter counts as End
}

TEST_F(EditFieldTest, EndOfInputEndsWithEscapeWhenEscapeIsNotListed) {
  console::SetExitKeys("a", "3b00");
  EXPECT_EQ(Edit("AB", 1, {'x'}).key, 27);
}

TEST_F(EditFieldTest, ChoiceField) {
  console::SetChoiceList("|1,Uno|2,Dos|3,Tres");
  Outcome o = Edit("2", 1, {0x4D00, 13});
  EXPECT_EQ(o.value, "3");
  o = Edit("2", 1, {0x4D00, 0x4D00, 13});
  EXPECT_EQ(o.value, "1");
  o = Edit("2", 1, {0x4D00, 0x4D00, 't', 13});
  EXPECT_EQ(o.value, "3");
  o = Edit("1", 1, {0x4B00, ' ', 13});
  EXPECT_EQ(o.value, "1");
  o = Edit("9", 1, {13});  // unknown code: the first item
  EXPECT_EQ(o.value, "1");
  EXPECT_EQ(terminal::ScreenText(2, 4, 6), " Uno  ");  // markers wiped on leaving
  o = Edit("3 ", 1, {13});                             // codes are padded to the value's length
  EXPECT_EQ(o.value, "3 ");
  EXPECT_EQ(terminal::ScreenText(2, 5, 4), "Tres");
}

TEST_F(EditFieldTest, ChoiceFieldShowsMarkersAndFoldsAccents) {
  console::SetChoiceList("|A,\xB5rea|B,Barri|C,\x90s");  // Àrea, Barri, És
  con().PushText("e");
  con().PushClick(2, 4, 1);  // on the left marker: Left
  con().PushKey(0, 0x3B, 0);
  std::string value = "B";
  int position = 1, key = 0;
  console::SetExitKeys("a", "3b00");
  console::EditField(2, 5, 0, value, position, key);
  EXPECT_EQ(value, "B");
  EXPECT_EQ(key, 0x3B00);
  con().PushText("a");
  con().PushClick(2, 10, 1);  // the right marker after "Barri": Right
  con().PushKey(0, 0x3B, 0);
  console::EditField(2, 5, 0, value, position, key);
  EXPECT_EQ(value, "B");
}

TEST_F(EditFieldTest, ChoiceFieldAtTheLeftEdgeDrawsNoStrayMarker) {
  console::SetChoiceList("|S,S\xA1|N,No");
  terminal::SetCursorPosition(9, 40);
  con().PushText("\r");
  std::string value = "N";
  int position = 1, key = 0;
  console::EditField(9, 1, 0, value, position, key);
  EXPECT_EQ(terminal::ScreenRowText(9), "No");
}

TEST_F(EditFieldTest, MaskHidesTheText) {
  console::SetExitKeys("h", "");
  Edit("ab ", 3, {'c', 13});
  EXPECT_EQ(terminal::ScreenText(2, 5, 4), "XXX ");
  console::SetExitKeys("v", "");
}

TEST_F(EditFieldTest, ClicksMoveInsideAndEndOutside) {
  con().PushClick(2, 8, 1);
  con().PushText("\r");
  std::string value = "ABCDEF";
  int position = 1, key = 0;
  console::EditField(2, 5, 0, value, position, key);
  EXPECT_EQ(position, 4);
  con().PushClick(9, 30, 1);
  console::EditField(2, 5, 0, value, position, key);
  EXPECT_EQ(key, -(30 * 100 + 9));
}

TEST_F(EditFieldTest, CopyAndPaste) {
  Edit("  Carrer Major ", 1, {3, 13});
  EXPECT_EQ(terminal::PasteFromClipboard(), "Carrer Major");
  terminal::CopyToClipboard(
      std::string(" \t12\x7f"
                  "34\xff\x01 "));
  const Outcome o = Edit("abcdef", 3, {22, 13});
  EXPECT_EQ(o.value, "ab1234");
  EXPECT_EQ(o.position, 3);
  EXPECT_EQ(Edit("ab", 2, {22, 13}).value, "a1");
}

TEST_F(EditFieldTest, HotKeyTextIsTypedIntoTheField) {
  console::SetHotKeyHooks([] { return std::string("42"); }, nullptr);
  console::SetExitKeys("a", "d");
  con().PushKey(0, 0x2D, terminal::kLeftAlt);
  EXPECT_EQ(Edit("    ", 1, {13}).value, "42  ");
  console::SetExitKeys("e", "");
  con().PushKey(0, 0x2D, terminal::kLeftAlt);
  EXPECT_EQ(Edit("    ", 1, {}).key, console::kKeyAltX);
  EXPECT_EQ(console::Console().pendingKeys, "42");
}
