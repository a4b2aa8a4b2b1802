// The pop-up calculator on the headless console: the arithmetic and its
// tape, the clears, moving, the result typed back, and KELCALC.TMP.
#include "console/calculator.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <string>

#include "console/calculator_state.h"
#include "console/cells.h"
#include "console/field.h"
#include "platform/paths.h"
#include "popup_fixture.h"

namespace {

using console::CalculatorState;

class CalculatorTest : public testing_support::PopUpTest {
 protected:
  CalculatorTest() { SnapshotOnAltC(); }

  // Types the keys, looks at the screen, and leaves with F.
  std::string Run(std::string_view keys) {
    con().PushText(keys);
    PressAltC();
    con().PushText("F");
    return console::ShowCalculator();
  }
  // A tape or entry line of the last snapshot without its box and blanks.
  std::string Line(int row, int column = 1) const {
    return format::Trim(shots.back().Text(row, column + 1, 24));
  }
  std::string StateFile() const { return session.dir().Read("KELCALC.TMP"); }
  CalculatorState Saved() const { return console::ReadCalculatorState(StateFile()); }
  void Forget() { session.dir().Write("KELCALC.TMP", ""); }
};

}  // namespace

TEST_F(CalculatorTest, SumShowsTotalAndTapeAndReturnsHundredths) {
  EXPECT_EQ(Run("12+30="), "4200");
  EXPECT_EQ(Line(24), "42");
  EXPECT_EQ(Line(20), "12 +");
  EXPECT_EQ(Line(21), "30 =");
  EXPECT_EQ(Line(22), "42");
  EXPECT_EQ(shots.back().Text(19, 1, 26), "\xDA" + std::string(24, '\xC4') + "\xBF");
  EXPECT_EQ(shots.back().Text(23, 1, 1), "\xC3");
  EXPECT_EQ(Saved().tapeTop, 20);
}

TEST_F(CalculatorTest, PercentTakesTheRunningSumAfterPlusElseDividesBy100) {
  EXPECT_EQ(Run("200+10%="), "22000");
  EXPECT_EQ(Line(19), "200 +");
  EXPECT_EQ(Line(20), "10 %");
  EXPECT_EQ(Line(21), "20 =");
  EXPECT_EQ(Line(22), "220");
  Forget();
  EXPECT_EQ(Run("10%"), "10");
  EXPECT_EQ(Line(24), "0.1");
}

TEST_F(CalculatorTest, RoundGoesHalfToEvenOnTheBinaryValueAndCutsNegatives) {
  const struct {
    const char* keys;
    std::string shown;  // the sign keeps the first of the 22 places
    const char* result;
  } cases[] = {{"0.125R", "0.12", "12"},
               {"0.375R", "0.38", "38"},
               {"1.005R", "1.00", "100"},
               {"1.236TR", "-" + std::string(17, ' ') + "1.23", "123"}};
  for (const auto& c : cases) {
    Forget();
    EXPECT_EQ(Run(c.keys), c.result) << c.keys;
    EXPECT_EQ(Line(24), c.shown) << c.keys;
    EXPECT_EQ(Line(22), c.shown + " R") << c.keys;
  }
}

TEST_F(CalculatorTest, ClearEntryThenAllThenHideTheTape) {
  console::WriteAt(10, 1, "UNDER THE TAPE");
  con().PushText("5+7");
  PressAltC();
  con().PushText("C");
  PressAltC();
  con().PushText("C");
  PressAltC();
  con().PushText("C");
  PressAltC();
  con().PushText("\x1b");
  console::ShowCalculator();
  ASSERT_EQ(shots.size(), 4u);
  EXPECT_EQ(format::Trim(shots[0].Text(24, 2, 24)), "7");
  EXPECT_EQ(format::Trim(shots[1].Text(24, 2, 24)), "5");
  EXPECT_EQ(format::Trim(shots[2].Text(24, 2, 24)), "0");
  EXPECT_EQ(format::Trim(shots[2].Text(22, 2, 24)), "5 +");
  EXPECT_EQ(shots[3].Text(23, 1, 1), "\xDA");
  EXPECT_EQ(shots[3].Text(22, 1, 26), std::string(26, ' '));
  EXPECT_EQ(shots[3].Text(10, 1, 14), "UNDER THE TAPE");
  EXPECT_EQ(terminal::ScreenRowText(10), "UNDER THE TAPE");
  EXPECT_EQ(Saved().tapeTop, console::kNoTape);
}

TEST_F(CalculatorTest, EqualsRightAfterAnOperatorDoesNothing) {
  EXPECT_EQ(Run("5+=\r"), "500");
  EXPECT_EQ(Saved().tapeTop, 22);
  EXPECT_EQ(Saved().pendingOperator, "+");
}

TEST_F(CalculatorTest, ResultKeepsDecimalsBeyondHundredthsAndDropsTheSign) {
  const struct {
    const char* keys;
    const char* result;
  } cases[] = {{"12.5", "1250"},  {"0", "0"},   {"3.125", "312.5"}, {"7T", "700"},
               {"0.0001", ".01"}, {"1/0=", ""}, {"12T3", "12300"},  {"1.2345\b", "123.4"}};
  for (const auto& c : cases) {
    Forget();
    EXPECT_EQ(Run(c.keys), c.result) << c.keys;
  }
}

TEST_F(CalculatorTest, ComputedResultsShowFifteenDigitsWhateverTheirSign) {
  Run("0.1+0.2=");
  EXPECT_EQ(Line(24), "0.3");
  Forget();
  Run("0-1234.56=");
  EXPECT_EQ(Line(24), "-" + std::string(13, ' ') + "1,234.56");
}

TEST_F(CalculatorTest, MovingWrapsAtTheScreenEdges) {
  con().PushKey(0, 0x4B);  // Left at column 1
  PressAltC();
  con().PushKey(0, 0x4D);  // Right at column 55
  PressAltC();
  con().PushKey(0, 0x4D, terminal::kLeftCtrl);
  PressAltC();
  con().PushText("\x1b");
  console::ShowCalculator();
  ASSERT_EQ(shots.size(), 3u);
  EXPECT_EQ(shots[0].Text(25, 55, 1), "\xC0");
  EXPECT_EQ(shots[0].Text(25, 80, 1), "\xD9");
  EXPECT_EQ(shots[0].Text(25, 1, 1), " ");
  EXPECT_EQ(shots[1].Text(25, 1, 1), "\xC0");
  EXPECT_EQ(shots[2].Text(25, 2, 1), "\xC0");
  EXPECT_EQ(Saved().leftColumn, 2);
}

TEST_F(CalculatorTest, ThirtyEntriesShowTwentyOneLinesAndKeepTwentyTwo) {
  std::string keys;
  for (int i = 1; i <= 30; ++i) keys += std::to_string(i) + "+";
  Run(keys);
  EXPECT_EQ(shots.back().Text(1, 1, 1), "\xDA");
  EXPECT_EQ(Line(2), "10 +");
  EXPECT_EQ(Line(22), "30 +");
  const CalculatorState saved = Saved();
  EXPECT_EQ(saved.tapeTop, 2);
  EXPECT_EQ(saved.tape.front().value, 9);
  EXPECT_EQ(saved.tape.back().value, 30);
}

TEST_F(CalculatorTest, StatePersistsBetweenRunsEvenAfterEscape) {
  con().PushText("12+\x1b");
  EXPECT_EQ(console::ShowCalculator(), "");
  const std::string file = StateFile();
  EXPECT_EQ(file.substr(0, 10), "1,22,12,12");
  EXPECT_EQ(file.substr(file.size() - 2), "\r\n");
  EXPECT_EQ(Run("30="), "4200");
  EXPECT_EQ(Line(20), "12 +");
}

// A link under the state file's name, to a record file or to nothing, is
// replaced by the state: what it pointed to is neither changed nor created.
TEST_F(CalculatorTest, ALinkUnderTheStateFilesNameIsReplacedNotWrittenThrough) {
  session.dir().Write("Unitats.dat", "records");
  for (const char* target : {"Unitats.dat", "Nou.dat"}) {
    ::unlink(session.Session("KELCALC.TMP").c_str());
    ASSERT_EQ(::symlink(session.Session(target).c_str(), session.Session("KELCALC.TMP").c_str()),
              0);
    EXPECT_EQ(Run("12+30="), "4200") << target;
    EXPECT_EQ(Saved().tapeTop, 20) << target;
  }
  EXPECT_EQ(session.dir().Read("Unitats.dat"), "records");
  EXPECT_FALSE(platform::FileExists(session.Session("Nou.dat")));
}

TEST_F(CalculatorTest, DamagedStateFilesGiveAUsableState) {
  const struct {
    const char* text;
    int leftColumn;
    int tapeTop;
    double entry;
  } cases[] = {
      {"", 1, 23, 0},
      {"garbage", 1, 23, 0},
      {"99,0,5", 1, 23, 5},
      {"55,\"2\",-7.5e3,1\r\n0,0,-1,40000\r\n\"unterminated", 55, 2, -7500},
      {"3,4.5,inf,nan,1,1,1,3,\"ab\",\"%\",1,2,3", 3, 23, INFINITY},
  };
  for (const auto& c : cases) {
    const CalculatorState s = console::ReadCalculatorState(c.text);
    EXPECT_EQ(s.leftColumn, c.leftColumn) << c.text;
    EXPECT_EQ(s.tapeTop, c.tapeTop) << c.text;
    EXPECT_EQ(s.entry, c.entry) << c.text;
    EXPECT_TRUE(s.pendingOperator.empty()) << c.text;
    EXPECT_LE(s.decimals, console::kMaxDecimals) << c.text;
    session.dir().Write("KELCALC.TMP", c.text);
    con().PushText("\x1b");
    console::ShowCalculator();
    EXPECT_EQ(console::ReadCalculatorState(StateFile()).leftColumn, c.leftColumn);
  }
}

TEST_F(CalculatorTest, WrittenStateReadsBackExactly) {
  CalculatorState s;
  s.leftColumn = 17;
  s.tapeTop = 5;
  s.entry = 0.1 + 0.2;
  s.accumulator = -1e300;
  s.cleared = false;
  s.entryActive = true;
  s.point = true;
  s.decimals = 15;
  s.key = std::string("\0!", 2);
  s.pendingOperator = "/";
  s.tape[3] = {1.0 / 3, true, 7, '%'};
  const CalculatorState back = console::ReadCalculatorState(console::WriteCalculatorState(s));
  EXPECT_EQ(console::WriteCalculatorState(back), console::WriteCalculatorState(s));
  EXPECT_EQ(back.entry, s.entry);
  EXPECT_EQ(back.tape[3].value, 1.0 / 3);
  EXPECT_EQ(back.key, s.key);
}

TEST_F(CalculatorTest, AltXTypesTheResultIntoTheWaitingFieldAndKeepsItsExitKeys) {
  console::SetHotKeyHooks(console::ShowCalculator, nullptr);
  console::SetExitKeys("+ea", "1b");
  console::SetExitKeys("ea", "d");
  const console::ConsoleState before = console::Console();
  PressAltX();
  con().PushText("12.5F\r");
  std::string value = "      ";
  int position = 1, key = 0;
  console::EditField(1, 1, 0, value, position, key);
  EXPECT_EQ(value, "1250  ");
  EXPECT_EQ(key, console::kKeyEnter);
  EXPECT_EQ(console::Console().exitKeys, before.exitKeys);
  EXPECT_EQ(console::Console().savedExitKeys, before.savedExitKeys);
  EXPECT_TRUE(console::Console().exitListsSaved);
}
