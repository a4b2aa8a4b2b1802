// The key reader (modifier codes, Alt+keypad, mouse, hot keys, pending
// keystrokes) and the exit-key commands.
#include "console/keyboard.h"

#include <gtest/gtest.h>

#include <string>

#include "../support/headless_session.h"
#include "console/console_state.h"
#include "console/field.h"
#include "console/field_internal.h"
#include "terminal/headless_backend.h"

namespace {

class KeyboardTest : public ::testing::Test {
 protected:
  int Read() {
    int key = 0, button = 0, row = 0, column = 0;
    console::ReadKey(key, button, row, column);
    return key;
  }
  testing_support::HeadlessSession session;
};

}  // namespace

TEST_F(KeyboardTest, ModifiersFoldIntoTheClassicCodes) {
  using terminal::kLeftAlt, terminal::kRightAlt, terminal::kRightCtrl, terminal::kShift;
  const struct {
    std::uint8_t scan;
    std::uint16_t modifiers;
    int key;
  } cases[] = {
      {0x3B, kLeftAlt, 0x6800},
      {0x44, kRightAlt, 0x7100},
      {0x85, kLeftAlt, console::KeyCode(0x8B00)},
      {0x3B, kRightCtrl, 0x5E00},
      {0x86, kRightCtrl, console::KeyCode(0x8A00)},
      {0x47, kRightCtrl, 0x7700},
      {0x4D, kRightCtrl, 0x7400},
      {0x4B, kRightCtrl, 0x7300},
      {0x3B, kShift, 0x5400},
      {0x86, kShift, console::KeyCode(0x8800)},
      {0x12, kRightAlt, 0xD5},
      {0x2D, kRightAlt, 0x2D00},
      {0x47, kShift, 0x4700},
      {0x85, 0, console::KeyCode(0x8500)},
  };
  for (const auto& c : cases) {
    session.console().PushKey(0, c.scan, c.modifiers);
    EXPECT_EQ(Read(), c.key) << std::hex << int{c.scan} << " " << c.modifiers;
  }
}

TEST_F(KeyboardTest, AltKeypadTypesTheCharacterModulo256) {
  session.console().PushAltKeypad("164");
  session.console().PushAltKeypad("300");
  session.console().PushText("a");
  EXPECT_EQ(Read(), 164);
  EXPECT_EQ(Read(), 44);
  EXPECT_EQ(Read(), 'a');
}

TEST_F(KeyboardTest, PendingKeystrokesComeFirst) {
  console::Console().pendingKeys = "7\x82";
  session.console().PushText("z");
  EXPECT_EQ(Read(), '7');
  EXPECT_EQ(Read(), 0x82);
  EXPECT_EQ(Read(), 'z');
}

TEST_F(KeyboardTest, ClicksGiveButtonAndCellAndWaitKeyPacksThem) {
  session.console().PushClick(3, 10, 2);
  int key = -1, button = 0, row = 0, column = 0;
  console::ReadKey(key, button, row, column);
  EXPECT_EQ(key, 0);
  EXPECT_EQ(button, 2);
  EXPECT_EQ(row, 3);
  EXPECT_EQ(column, 10);
  session.console().PushClick(4, 20, 1);
  console::WaitKey(key);
  EXPECT_EQ(key, 20 * 256 + 64 + 4);
}

TEST_F(KeyboardTest, ClicksAreIgnoredWithoutAMouse) {
  session.console().SetMouseButtons(0);
  session.console().PushClick(4, 20, 1);
  session.console().PushText("q");
  int key = 0;
  console::WaitKey(key);
  EXPECT_EQ(key, 'q');
}

TEST_F(KeyboardTest, HotKeysQueueWhatThePopUpReturnsAndDoNotReenter) {
  int calls = 0;
  console::SetHotKeyHooks(
      [&] {
        ++calls;
        // Alt+X inside the calculator does not start it again.
        session.console().PushKey(0, 0x2D, terminal::kLeftAlt);
        EXPECT_EQ(Read(), console::kKeyAltX);
        return std::string("12,5");
      },
      [] { return std::string("01/02/2026"); });
  session.console().PushKey(0, 0x2D, terminal::kLeftAlt);
  EXPECT_EQ(Read(), console::kKeyAltX);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(console::Console().pendingKeys, "12,5");
  console::Console().pendingKeys.clear();
  session.console().PushKey(0, 0x2E, terminal::kLeftAlt);
  EXPECT_EQ(Read(), console::kKeyAltC);
  EXPECT_EQ(console::Console().pendingKeys, "01/02/2026");
}

TEST_F(KeyboardTest, HotKeysWithoutHooksAreOnlyReturned) {
  session.console().PushKey(0, 0x2D, terminal::kLeftAlt);
  EXPECT_EQ(Read(), console::kKeyAltX);
  EXPECT_EQ(console::Console().pendingKeys, "");
}

TEST_F(KeyboardTest, ExitKeyCommands) {
  int result = 0;
  console::SetExitKeys("ea", "1b, d=4f00,8500");
  EXPECT_TRUE(console::FindExitKey(13, &result));
  EXPECT_EQ(result, 0x4F00);
  EXPECT_TRUE(console::FindExitKey(console::KeyCode(0x8500), &result));
  console::SetExitKeys("+", "");
  console::SetExitKeys("D", "d");
  EXPECT_FALSE(console::FindExitKey(13, &result));
  EXPECT_TRUE(console::FindExitKey(console::KeyCode(0x8500), &result));
  EXPECT_EQ(result, console::KeyCode(0x8500));  // the pair moved with its key
  console::SetExitKeys("+E", "");               // a second save is ignored
  EXPECT_TRUE(console::ExitListEmpty());
  console::SetExitKeys("-", "");
  EXPECT_TRUE(console::FindExitKey(13, &result));
  console::SetExitKeys("-e", "");  // nothing saved any more: only the E applies
  EXPECT_TRUE(console::ExitListEmpty());
  console::SetExitKeys("h", "");
  EXPECT_EQ(console::Console().maskCharacter, 'X');
  console::SetExitKeys("xV", "");
  EXPECT_EQ(console::Console().maskCharacter, 0);
}

TEST(ChoiceListTest, ParsesItems) {
  const auto items = console::ParseChoiceList("|S,S\xA1|N,No|X|,Buit");
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0].code, "S");
  EXPECT_EQ(items[0].description, "S\xA1");
  EXPECT_EQ(items[2].code, "X");
  EXPECT_EQ(items[2].description, "");
  EXPECT_EQ(items[3].code, "");
  EXPECT_EQ(items[3].description, "Buit");
}
