// The calendar pop-up on the headless console: the quarter drawn, the
// moves across months, quarters and years, the start date, and the text
// typed back.
#include "console/calendar.h"

#include <gtest/gtest.h>

#include <string>

#include "console/cells.h"
#include "console/field.h"
#include "console/window.h"
#include "format/packed.h"
#include "popup_fixture.h"

namespace {

constexpr unsigned char kHighlight = 0x70;  // colour "u" of the default table

class CalendarTest : public testing_support::PopUpTest {
 protected:
  CalendarTest() { SnapshotOnAltX(); }

  // Starts on the date (eight digits), presses the keys, looks at the
  // screen and chooses with F.
  std::string Choose(std::string_view date, std::string_view keys = "") {
    config::Settings().WorkingDate = format::PackDigits(date);
    con().PushText(keys);
    PressAltX();
    con().PushText("F");
    return console::ShowCalendar();
  }
  void PushKey(std::uint8_t scanCode) { con().PushKey(0, scanCode); }
  const Snapshot& Shot() const { return shots.back(); }
  std::string Title(int k) const { return format::Trim(Shot().Text(7 * k + 3, 60, 20)); }
  // The text of the highlighted cell, and where it is.
  std::string Highlighted(int* row = nullptr, int* column = nullptr) const {
    for (int r = 2; r <= 23; ++r) {
      for (int c = 60; c <= 79; ++c) {
        if (Shot().Attribute(r, c) != kHighlight) continue;
        if (row) *row = r;
        if (column) *column = c;
        return Shot().Text(r, c, 2);
      }
    }
    return {};
  }
};

}  // namespace

TEST_F(CalendarTest, ShowsTheWorkingDatesQuarterWithItsDayHighlighted) {
  EXPECT_EQ(Choose("20240215"), "15/2/2024 ");
  EXPECT_EQ(Shot().Text(1, 59, 22),
            "\xDA\xC4\xC4\xC4\xC4\xC4\xC4\xC4 2024 " + std::string(7, '\xC4') + "\xBF");
  EXPECT_EQ(Shot().Text(2, 60, 20), "DL DT DC DJ DV DS DG");
  EXPECT_EQ(Shot().Text(3, 67, 5), "GENER");
  EXPECT_EQ(Title(1), "FEBRER");
  EXPECT_EQ(Title(2), "MAR\x80");
  EXPECT_EQ(Shot().Text(4, 60, 20), " 1  2  3  4  5  6  7");  // 1 January 2024 is a Monday
  EXPECT_EQ(Shot().Text(11, 60, 20), "          1  2  3  4");
  EXPECT_EQ(Shot().Text(15, 60, 20), "26 27 28 29         ");
  EXPECT_EQ(Shot().Text(16, 60, 20), std::string(20, ' '));
  int row = 0, column = 0;
  EXPECT_EQ(Highlighted(&row, &column), "15");
  EXPECT_EQ(row, 13);
  EXPECT_EQ(column, 69);
}

TEST_F(CalendarTest, MovesAcrossMonthsQuartersAndYears) {
  const struct {
    const char* start;
    std::uint8_t key;
    const char* result;
    const char* firstTitle;
    const char* year;
  } cases[] = {
      {"20240331", 0x4D, "1/4/2024  ", "ABRIL", "2024"},    // Right into the next quarter
      {"20240101", 0x4B, "31/12/2023", "OCTUBRE", "2023"},  // Left into the year before
      {"20240303", 0x48, "25/2/2024 ", "GENER", "2024"},    // Up within the quarter
      {"20240131", 0x50, "7/2/2024  ", "GENER", "2024"},    // Down into the next month
      {"20231130", 0x51, "29/2/2024 ", "GENER", "2024"},    // Page Down to a leap February
      {"20241130", 0x51, "28/2/2025 ", "GENER", "2025"},    // and to a common one
      {"20240105", 0x49, "5/10/2023 ", "OCTUBRE", "2023"},  // Page Up into the year before
      {"20240831", 0x47, "31/1/2024 ", "GENER", "2024"},    // Home keeps the day
      {"20240115", 0x4F, "15/12/2024", "OCTUBRE", "2024"},  // End
      {"00010101", 0x4B, "1/1/0001  ", "GENER", "   1"},    // no year before 1
      {"99991215", 0x51, "15/12/9999", "OCTUBRE", "9999"},  // nor after 9999
  };
  for (const auto& c : cases) {
    config::Settings().WorkingDate = format::PackDigits(c.start);
    PushKey(c.key);
    PressAltX();
    con().PushText("F");
    EXPECT_EQ(console::ShowCalendar(), c.result) << c.start;
    EXPECT_EQ(Title(0), c.firstTitle) << c.start;
    EXPECT_EQ(Shot().Text(1, 68, 4), c.year) << c.start;
  }
}

TEST_F(CalendarTest, OnlyFAndAltFChooseAndEscapeReturnsNothing) {
  config::Settings().WorkingDate = format::PackDigits("20240105");
  con().PushText("\r 1x");
  con().PushClick(5, 62, 1);
  con().PushText("f");
  EXPECT_EQ(console::ShowCalendar(), "5/1/2024  ");
  con().PushKey(0, 0x21, terminal::kLeftAlt);
  EXPECT_EQ(console::ShowCalendar(), "5/1/2024  ");
  con().PushKey(0, 0x4D);
  con().PushText("\x1b");
  EXPECT_EQ(console::ShowCalendar(), "");
}

TEST_F(CalendarTest, ADateThatDoesNotExistStartsOnToday) {
  for (std::string date :
       {std::string(), format::PackDigits("20240231"), format::PackDigits("20241301"),
        format::PackDigits("00000101"), format::PackDigits("202401")}) {
    config::Settings().WorkingDate = date;
    con().PushText("F");
    EXPECT_EQ(console::ShowCalendar(), "9/7/2023  ") << format::UnpackDigits(date);
  }
}

TEST_F(CalendarTest, HeadingsFollowTheSessionLanguage) {
  const struct {
    const char* language;
    const char* header;
    const char* february;
  } cases[] = {{"SPA", " L  M  X  J  V  S  D", "FEBRERO"},
               {"GLG", " L  M  X  J  V  S  D", "FEVEREIRO"},
               {"OCI", "DL DT DC DJ DD DS DG", "HEREU\xD4R"},
               {"cat", "DL DT DC DJ DV DS DG", "FEBRER"}};
  for (const auto& c : cases) {
    config::Settings().SessionLanguage = c.language;
    Choose("20240215");
    EXPECT_EQ(Shot().Text(2, 60, 20), c.header) << c.language;
    EXPECT_EQ(Title(1), c.february) << c.language;
  }
}

TEST_F(CalendarTest, LeavesScreenColourAndTheFieldsExitKeysAsTheyWere) {
  for (int r = 1; r <= 25; ++r) console::WriteAt(r, 1, std::string(80, static_cast<char>('A' + r)));
  console::SetColour("r");
  console::SetExitKeys("+ea", "1b");
  console::SetExitKeys("ea", "d,3b00");
  const console::ConsoleState before = console::Console();
  const std::string screen = terminal::DumpScreen(true);
  PushKey(0x51);  // Page Down: a new quarter drawn
  Choose("20240215");
  EXPECT_EQ(terminal::DumpScreen(true), screen);
  const console::ConsoleState& after = console::Console();
  EXPECT_EQ(after.colourIndex, before.colourIndex);
  EXPECT_EQ(after.colourStack, before.colourStack);
  EXPECT_EQ(after.exitKeys, before.exitKeys);
  EXPECT_EQ(after.savedExitKeys, before.savedExitKeys);
  EXPECT_EQ(after.exitListsSaved, before.exitListsSaved);
  EXPECT_EQ(after.depth, 0);
}

TEST_F(CalendarTest, AltCTypesTheChosenDateIntoTheWaitingField) {
  console::SetHotKeyHooks(nullptr, console::ShowCalendar);
  console::SetExitKeys("ea", "d");  // Alt+C does not end this field
  config::Settings().WorkingDate = format::PackDigits("20240105");
  con().PushKey(0, 0x2E, terminal::kLeftAlt);
  con().PushKey(0, 0x4D);
  con().PushText("F\r");
  std::string value(10, ' ');
  int position = 1, key = 0;
  console::EditField(1, 1, 0, value, position, key);
  EXPECT_EQ(value, "6/1/2024  ");
}
