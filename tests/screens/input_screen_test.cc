// The input screen engine on a small form: moving between fields, leaving,
// continuation screens, refused fields, clicks and disabled fields.
#include "screens/input_screen.h"

#include <gtest/gtest.h>

#include "console/console_state.h"
#include "console/keyboard.h"
#include "office/screen_form.h"
#include "screens/screens_state.h"
#include "screens_fixture.h"

namespace screens_test {
namespace {

// Screen 3: three fields (the third a number); screen 4: a windowed
// continuation; screen 5: every field disabled.  Screens 1 and 2 are the
// selection screens' places and unused here.
constexpr char kForm[] =
    "5,3\r\n"
    "\"\",1,0\r\n0,0,0,0\r\n1,1,\"A \",1,0,0,0,0,0,\"\"\r\n"
    "\"\",1,0\r\n0,0,0,0\r\n1,1,\"B \",1,0,0,0,0,0,\"\"\r\n"
    "\"\",3,0\r\n0,0,0,0\r\n"
    "3,1,\"One: \",4,0,0,0,0,0,\"\"\r\n"
    "4,1,\"Two: \",4,0,0,0,0,0,\"\"\r\n"
    "5,1,\"Three: \",3,0,0,0,2,0,\"\"\r\n"
    "\"\",2,0\r\n5,10,12,60\r\n"
    "2,2,\"Four: \",4,0,0,0,0,0,\"\"\r\n"
    "3,2,\"Five: \",4,0,0,0,0,0,\"\"\r\n"
    "\"\",2,0\r\n0,0,0,0\r\n"
    "1,1,\"X \",1,0,0,4,0,0,\"\"\r\n"
    "2,1,\"Y \",1,0,0,4,0,0,\"\"\r\n";

class InputScreenTest : public ScreensTest {
 protected:
  InputScreenTest() { office::ReadScreenFormText(kForm); }
  std::string Value(int screen, int field) { return office::FieldAt(screen, field)->value; }
  int Run(int screen, int up = 0, int down = 0) {
    int key = -1;
    screens::InputScreen(screen, up, down, key);
    return key;
  }
};

TEST_F(InputScreenTest, EnterStoresEachFieldAndLeavesFromTheLast) {
  Type("ab\rcd\r12\r");
  EXPECT_EQ(Run(3), console::kKeyEnter);
  EXPECT_EQ(Value(3, 1), "ab  ");
  EXPECT_EQ(Value(3, 2), "cd  ");
  EXPECT_EQ(Value(3, 3), "12 ");
  EXPECT_EQ(keys().Pending(), 0u);
  EXPECT_EQ(terminal::ScreenRowText(5), "Three:  12");
  EXPECT_EQ(screens::Screens().screen, 0);
  EXPECT_TRUE(screens::Screens().text.empty());
}

TEST_F(InputScreenTest, EscapeDropsTheTypingGoesToTheFirstFieldAndThenLeaves) {
  Type("ab\rzz\x1b");  // field 2 typed, then Escape: back on field 1
  Type("\x1b");        // Escape on field 1 leaves
  EXPECT_EQ(Run(3), console::kKeyEscape);
  EXPECT_EQ(Value(3, 1), "ab  ");
  EXPECT_EQ(Value(3, 2), "    ");
  EXPECT_EQ(keys().Pending(), 0u);
}

TEST_F(InputScreenTest, PageDownWithoutTheLeaveFlagOnlyReachesTheLastField) {
  Scan(kPageDown);
  Scan(kPageDown);
  Scan(kPageDown);
  Type("7\r");
  EXPECT_EQ(Run(3), console::kKeyEnter);
  EXPECT_EQ(Value(3, 3), "7  ");
  EXPECT_EQ(screens::Screens().resumeScreen, 0);
}

TEST_F(InputScreenTest, PageKeysWithTheLeaveFlagsLeaveFromTheEndFields) {
  Scan(kPageDown);
  Scan(kPageDown);
  EXPECT_EQ(Run(3, 0, 1), 0x5100);
  EXPECT_EQ(screens::Screens().resumeScreen, 3);
  Scan(kPageUp);
  EXPECT_EQ(Run(3, 1, 0), 0x4900);
  EXPECT_EQ(keys().Pending(), 0u);
}

TEST_F(InputScreenTest, RefusedNumberBeepsAndIsEditedAgain) {
  Scan(kPageDown);
  Type("x\r");  // refused: the field is edited again with "x"
  Type("5\r");  // overwrites it
  EXPECT_EQ(Run(3), console::kKeyEnter);
  EXPECT_EQ(keys().Beeps(), 1);
  EXPECT_EQ(Value(3, 3), "5  ");
}

TEST_F(InputScreenTest, ClickPicksTheFieldUnderItAndAClickElsewhereKeepsTheField) {
  keys().PushClick(20, 70, 1);  // on no field: stays on field 1
  Type("k\r");                  // field 1, then on to field 2
  keys().PushClick(5, 3, 1);    // on the label of field 3
  Type("9\r");
  EXPECT_EQ(Run(3), console::kKeyEnter);
  EXPECT_EQ(Value(3, 1), "k   ");
  EXPECT_EQ(Value(3, 2), "    ");
  EXPECT_EQ(Value(3, 3), "9  ");
}

TEST_F(InputScreenTest, LastFieldRunsTheLinkedScreenAsAContinuation) {
  office::ScreenAt(3)->link = 4;
  // On to screen 4; Up on its first field leaves it with Escape, which
  // keeps screen 3 on its last field; Enter goes there again and screen 4
  // is left with Enter from its last field, which leaves screen 3 too.
  Type("\r\r\r");
  Scan(kUp);
  Type("\rf\rg\r");
  EXPECT_EQ(Run(3), console::kKeyEnter);
  EXPECT_EQ(Value(4, 1), "f   ");
  EXPECT_EQ(Value(4, 2), "g   ");
  EXPECT_EQ(console::Console().depth, 0);
  EXPECT_EQ(keys().Pending(), 0u);
  // The continuation drew in its own window (frame at row 5, column 10).
  bool framed = false;
  for (const auto& seen : keys().seen) framed |= seen.At(5, 10).character == 0xC9;
  EXPECT_TRUE(framed);
}

TEST_F(InputScreenTest, PageDownOnAContinuationResumesThereNextTime) {
  office::ScreenAt(3)->link = 4;
  Type("\r\r\r");
  Scan(kPageDown);
  Scan(kPageDown);  // last field of screen 4, may leave downward
  EXPECT_EQ(Run(3, 0, 1), 0x5100);
  EXPECT_EQ(screens::Screens().resumeScreen, 4);
  // Entering the chain again starts on screen 4.
  Type("q\r\r");
  EXPECT_EQ(Run(3, 0, 1), console::kKeyEnter);
  EXPECT_EQ(Value(4, 1), "q   ");
  EXPECT_EQ(screens::Screens().resumeScreen, 0);
}

TEST_F(InputScreenTest, ScreenWithEveryFieldDisabledIsLeftAtOnce) {
  EXPECT_EQ(Run(5), console::kKeyEnter);
  EXPECT_TRUE(keys().seen.empty());
}

TEST_F(InputScreenTest, MissingScreenReturnsEscape) {
  EXPECT_EQ(Run(9), console::kKeyEscape);
}

TEST_F(InputScreenTest, DisabledFieldsArePassedOverWithTheSameKey) {
  office::FieldAt(3, 2)->flags = 4;
  Type("a\r4\r");
  EXPECT_EQ(Run(3), console::kKeyEnter);
  EXPECT_EQ(Value(3, 1), "a   ");
  EXPECT_EQ(Value(3, 3), "4  ");
  EXPECT_EQ(terminal::ScreenRowText(4), "Two: ----");
}

TEST_F(InputScreenTest, KeysOutsideTheScreensKeyListAreIgnoredInAField) {
  office::ScreenAt(3)->keyList = "d,1b";
  Scan(kDown);  // not an exit key of this screen
  Type("x\r\r1\r");
  EXPECT_EQ(Run(3), console::kKeyEnter);
  EXPECT_EQ(Value(3, 1), "x   ");
  EXPECT_EQ(Value(3, 3), "1  ");
}

// A screen without a key list of its own: the hot keys stay in the field and
// their pop-ups' results are typed there; a pop-up left with nothing keeps
// the field as it was.
TEST_F(InputScreenTest, HotKeysTypeTheirResultIntoTheFieldTheOperatorIsOn) {
  console::SetHotKeyHooks([] { return std::string("12"); }, [] { return std::string(); });
  Type("ab\r");
  keys().PushKey(0, 0x2D, terminal::kLeftAlt);  // Alt+X on field 2
  Type("\r");
  keys().PushKey(0, 0x2E, terminal::kLeftAlt);  // Alt+C, left with nothing
  Type("7\r");
  EXPECT_EQ(Run(3), console::kKeyEnter);
  EXPECT_EQ(Value(3, 1), "ab  ");
  EXPECT_EQ(Value(3, 2), "12  ");
  EXPECT_EQ(Value(3, 3), "7  ");
  EXPECT_EQ(keys().Pending(), 0u);
}

TEST_F(InputScreenTest, F2RunsTheLinkedScreenFromAnyField) {
  office::ScreenAt(3)->link = 4;
  Scan(kF2);     // from field 1 straight to screen 4
  Type("\x1b");  // Escape on its first field leaves it; screen 3 stays
  Type("w\r");   // still on field 1 of screen 3
  Scan(kPageDown);
  Type("\x1b\x1b");
  EXPECT_EQ(Run(3), console::kKeyEscape);
  EXPECT_EQ(Value(3, 1), "w   ");
  EXPECT_EQ(keys().Pending(), 0u);
}

}  // namespace
}  // namespace screens_test
