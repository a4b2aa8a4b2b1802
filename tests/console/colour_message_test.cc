// Colour codes with their stack, and the message box.
#include <gtest/gtest.h>

#include <string>

#include "../support/headless_session.h"
#include "config/session_settings.h"
#include "console/console_state.h"
#include "console/window.h"
#include "terminal/cell_buffer.h"
#include "terminal/headless_backend.h"

namespace {

class ColourTest : public ::testing::Test {
 protected:
  ColourTest() {
    // Every index its own colour, so a wrong index shows.
    config::Settings().ColourTable = {config::ColourPair{15, 0}, config::ColourPair{7, 1},
                                      config::ColourPair{0, 7}, config::ColourPair{1, 3},
                                      config::ColourPair{14, 4}};
  }
  testing_support::HeadlessSession session;
};

int Index() {
  return console::Console().colourIndex;
}

}  // namespace

TEST_F(ColourTest, CodesSelectTheirIndexAndTheTableColour) {
  const struct {
    const char* code;
    int index;
    int attribute;
  } cases[] = {{"n", 1, 0x17}, {"R", 2, 0x70},  {"rh", 2, 0x70}, {"Nr", 3, 0x31},
               {"u", 4, 0x4E}, {"ur", 4, 0x4E}, {"h", 0, 0x0F},  {"e", 0, 0x0F}};
  for (const auto& c : cases) {
    console::SetColour(c.code);
    EXPECT_EQ(Index(), c.index) << c.code;
    EXPECT_EQ(terminal::TextAttribute(), c.attribute) << c.code;
  }
}

TEST_F(ColourTest, BlankCodeChangesNothing) {
  console::SetColour("n");
  console::SetColour("   ");
  console::SetColour("");
  EXPECT_EQ(Index(), 1);
  EXPECT_EQ(console::Console().colourStack, "");
}

TEST_F(ColourTest, StackSavesAndRestoresExactly) {
  console::SetColour("-");
  EXPECT_EQ(Index(), 0);  // empty stack
  console::SetColour("rn");
  console::SetColour("+n");
  console::SetColour("+rh");
  EXPECT_EQ(Index(), 2);
  console::SetColour("-");
  EXPECT_EQ(Index(), 1);
  console::SetColour("-");
  EXPECT_EQ(Index(), 3);
  EXPECT_EQ(terminal::TextAttribute(), 0x31);
  EXPECT_EQ(console::Console().colourStack, "");
}

TEST_F(ColourTest, MessageBoxIsCentredFramedAndLeftOpen) {
  console::SetColour("n");
  ASSERT_TRUE(console::ShowMessage(12, "Fitxer bloquejat"));  // 16 characters
  // One line: top = 12 - 1 - 2 = 9, bottom 11; left 41 - 8 - 2 = 31, right 41 + 8 + 1 = 50.
  EXPECT_EQ(console::Console().window, (console::WindowRect{9, 31, 11, 50}));
  EXPECT_EQ(terminal::ScreenText(9, 31, 2), "\xDA\xC4");
  EXPECT_EQ(terminal::ScreenText(10, 31, 20), "\xB3 Fitxer bloquejat \xB3");
  terminal::Cell cell;
  terminal::ReadCell(10, 33, &cell);
  EXPECT_EQ(cell.attribute, 0x70);
  EXPECT_EQ(Index(), 1);  // the caller's colour is back
  console::CloseWindow();
  EXPECT_EQ(terminal::ScreenRowText(10), "");
}

TEST_F(ColourTest, LongMessageWrapsAndStaysOnScreen) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "paraula ";  // 240 characters: four lines
  ASSERT_TRUE(console::ShowMessage(25, text));
  const console::WindowRect w = console::Console().window;
  EXPECT_EQ(w.bottom, 25);
  EXPECT_EQ(w.top, 20);
  EXPECT_EQ(w.left, 3);
  EXPECT_EQ(terminal::ScreenText(21, 5, 8), "paraula ");
  console::CloseWindow();
}

TEST_F(ColourTest, MessageTooTallForTheScreenShowsNothing) {
  console::SetColour("n");
  const std::string before = terminal::DumpScreen(true);
  EXPECT_FALSE(console::ShowMessage(12, std::string(76 * 24, 'x')));
  EXPECT_EQ(console::Console().depth, 0);
  EXPECT_EQ(Index(), 1);
  EXPECT_EQ(terminal::DumpScreen(true), before);
}
