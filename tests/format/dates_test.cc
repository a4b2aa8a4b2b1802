#include "format/dates.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "format/format_settings.h"
#include "format/packed.h"
#include "platform/clock.h"
#include "platform/program_state.h"

namespace format {
namespace {

std::string Packed(int year, int month, int day) {
  char digits[40];
  std::snprintf(digits, sizeof digits, "%04d%02d%02d", year, month, day);
  return PackDigits(digits);
}

class DatesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetProgramState();
    platform::FixToday({2026, 6, 15, 10, 0, 0});
  }
  void TearDown() override { platform::ResetProgramState(); }
};

TEST_F(DatesTest, PackDigitsRightAlignsAndZeroFills) {
  EXPECT_EQ(PackDigits("20240105"), "\x94\x98\x81\x85");
  EXPECT_EQ(UnpackDigits("\x94\x98\x81\x85"), "20240105");
  EXPECT_EQ(PackDigits(" 5"), "\x85");
  EXPECT_EQ(PackDigits("123"), "\x8C\x9E");
  EXPECT_EQ(PackDigits("5  "), "\x80\xB2");   // trimmed, right-aligned in 3: 00 50
  EXPECT_EQ(PackDigits("1 2x"), "\x8A\x94");  // inner space and letter count as 0
  EXPECT_EQ(PackDigits(""), "");
  EXPECT_EQ(UnpackDigits(std::string("\xFF\x00", 2)), "2700");  // 127 keeps its last two digits
}

TEST_F(DatesTest, DateDigitsShortensYearsInsideTheWindowOnly) {
  EXPECT_EQ(DateDigits(Packed(2024, 1, 5)), "050124");
  EXPECT_EQ(DateDigits(Packed(1960, 1, 5)), "05011960");
  EXPECT_EQ(DateDigits(Packed(1976, 1, 5)), "050176");  // exactly 50 back
  EXPECT_EQ(DateDigits(Packed(2075, 1, 5)), "050175");  // 49 ahead
  EXPECT_EQ(DateDigits(Packed(2076, 1, 5)), "05012076");
  EXPECT_EQ(DateDigits(EmptyDate()), "");
  EXPECT_EQ(DateDigits(""), "");
}

TEST_F(DatesTest, ParseDateAcceptsEveryTypedForm) {
  const std::string expected = Packed(2024, 1, 5);
  EXPECT_EQ(ParseDate("5/1/24"), expected);
  EXPECT_EQ(ParseDate("05.01.24"), expected);
  EXPECT_EQ(ParseDate("5-1-2024"), expected);
  EXPECT_EQ(ParseDate("050124"), expected);
  EXPECT_EQ(ParseDate("0501"), Packed(2000, 1, 5));
  EXPECT_EQ(ParseDate("1/2/75"), Packed(2075, 2, 1));
  EXPECT_EQ(ParseDate("1/2/76"), Packed(1976, 2, 1));
  EXPECT_EQ(ParseDate("00/01/24"), Packed(24, 1, 0));  // day 0: year kept as typed
}

TEST_F(DatesTest, ParseDateGivesTheEmptyDateOnBadSyntaxOrHugeNumbers) {
  for (const char* typed : {"5/1", "5/1/2/4", "5a/1/24", "99999999999/1/24", "1/1/99999999999"}) {
    EXPECT_EQ(ParseDate(typed), EmptyDate()) << typed;
  }
}

TEST_F(DatesTest, IsInvalidDateChecksTheCalendarAndLeavesItsParts) {
  EXPECT_TRUE(IsInvalidDate("10/10/1582"));
  EXPECT_TRUE(IsInvalidDate("31/4/2023"));
  EXPECT_TRUE(IsInvalidDate("29/2/1500"));
  EXPECT_TRUE(IsInvalidDate("1/13/2023"));
  EXPECT_TRUE(IsInvalidDate("0/1/2023"));
  EXPECT_TRUE(IsInvalidDate("1/1"));
  EXPECT_FALSE(IsInvalidDate("15/10/1582"));
  EXPECT_FALSE(IsInvalidDate("4/10/1582"));
  EXPECT_FALSE(IsInvalidDate("29/2/2024"));
  EXPECT_FALSE(IsInvalidDate("29/2/2000"));
  EXPECT_TRUE(IsInvalidDate("29/2/1900"));

  EXPECT_FALSE(IsInvalidDate("7/3/76"));  // 50 ahead stays in the coming century
  EXPECT_EQ(Formats().LastDay, 7);
  EXPECT_EQ(Formats().LastMonth, 3);
  EXPECT_EQ(Formats().LastYear, 2076);
  EXPECT_FALSE(IsInvalidDate("7/3/77"));
  EXPECT_EQ(Formats().LastYear, 1977);
}

TEST_F(DatesTest, DateDifferenceInEachUnitWhicheverDateComesFirst) {
  const std::string newYearsEve = Packed(2023, 12, 31), newYear = Packed(2024, 1, 1);
  for (int swap = 0; swap < 2; ++swap) {
    const std::string& a = swap ? newYear : newYearsEve;
    const std::string& b = swap ? newYearsEve : newYear;
    EXPECT_EQ(DateDifference(a, b, "D"), 1);
    EXPECT_EQ(DateDifference(a, b, "m"), 1);
    EXPECT_EQ(DateDifference(a, b, "A"), 0);
  }
  EXPECT_EQ(DateDifference(Packed(2024, 2, 29), Packed(2025, 2, 28), "A"), 0);
  EXPECT_EQ(DateDifference(Packed(2025, 3, 1), Packed(2024, 2, 29), "A"), 1);
  EXPECT_EQ(DateDifference(Packed(1500, 2, 1), Packed(1500, 3, 1), "D"), 29);  // Julian leap
  EXPECT_EQ(DateDifference(Packed(1700, 2, 1), Packed(1700, 3, 1), "D"), 28);
  EXPECT_EQ(DateDifference(Packed(1582, 10, 4), Packed(1582, 10, 15), "D"), 11);  // proleptic
  EXPECT_EQ(DateDifference(newYear, newYear, "DD"), 0);
  EXPECT_EQ(DateDifference(newYear, newYearsEve, "X"), 0);
}

TEST_F(DatesTest, CompletedYearsCountTheAnniversaryItself) {
  const std::string start = Packed(2020, 3, 15);
  EXPECT_EQ(DateDifference(start, Packed(2025, 3, 15), "A"), 5);
  EXPECT_EQ(DateDifference(start, Packed(2025, 3, 14), "A"), 4);
}

TEST_F(DatesTest, WeekdayAcrossTheReform) {
  EXPECT_EQ(Weekday(Packed(1582, 10, 4)), 4);
  EXPECT_EQ(Weekday(Packed(1582, 10, 15)), 5);
  EXPECT_EQ(Weekday(Packed(2024, 1, 1)), 1);
}

// Gregorian days since 1970 from the standard library's proleptic calendar.
long long GregorianDayNumber(int year, int month, int day) {
  using namespace std::chrono;
  return sys_days{std::chrono::year{year} / month / day}.time_since_epoch().count();
}

// Julian day number of a date of the Julian calendar.
long long JulianDayNumber(int year, int month, int day) {
  const int a = (14 - month) / 12, y = year + 4800 - a, m = month + 12 * a - 3;
  return day + (153 * m + 2) / 5 + 365LL * y + y / 4 - 32083;
}

TEST_F(DatesTest, WeekdayAndDaysAgreeWithTheGregorianCalendarFrom1583To2199) {
  const std::string start = Packed(1583, 1, 1);
  const long long startNumber = GregorianDayNumber(1583, 1, 1);
  for (int y = 1583; y <= 2199; ++y) {
    for (int m = 1; m <= 12; ++m) {
      const int length = static_cast<int>(static_cast<unsigned>(std::chrono::year_month_day_last{
          std::chrono::year{y} / std::chrono::month(m) / std::chrono::last}
                                                                    .day()));
      for (int d = 1; d <= length; ++d) {
        const std::string date = Packed(y, m, d);
        const long long number = GregorianDayNumber(y, m, d);
        const int expected = static_cast<int>(
            std::chrono::weekday{std::chrono::sys_days{std::chrono::days{number}}}.iso_encoding());
        ASSERT_EQ(Weekday(date), expected) << y << "-" << m << "-" << d;
        ASSERT_EQ(DateDifference(start, date, "D"), number - startNumber) << y << "-" << m;
      }
    }
  }
}

TEST_F(DatesTest, WeekdayAndDaysAgreeWithTheJulianCalendarBeforeTheReform) {
  const std::string start = Packed(1, 1, 1);
  const long long startNumber = JulianDayNumber(1, 1, 1);
  for (int y = 1; y <= 1582; ++y) {
    for (int m = 1; m <= (y == 1582 ? 9 : 12); ++m) {
      const int length =
          m == 2 ? (y % 4 == 0 ? 29 : 28) : (m == 4 || m == 6 || m == 9 || m == 11 ? 30 : 31);
      for (int d = 1; d <= length; d += (y % 50 == 0 ? 1 : 9)) {
        const long long number = JulianDayNumber(y, m, d);
        const std::string date = Packed(y, m, d);
        ASSERT_EQ(Weekday(date), static_cast<int>(number % 7) + 1) << y << "-" << m << "-" << d;
        ASSERT_EQ(DateDifference(start, date, "D"), number - startNumber) << y << "-" << m;
      }
    }
  }
}

TEST_F(DatesTest, DottedCodeGroups) {
  EXPECT_EQ(UnpackDigits(DottedCode("123456")), "123456");
  EXPECT_EQ(UnpackDigits(DottedCode("1.2")), "00010002");
  EXPECT_EQ(UnpackDigits(DottedCode("123456.7890")), "1234567890");  // 11 long, one dot
  EXPECT_EQ(UnpackDigits(DottedCode("1.2.3")), "000100020003");
  EXPECT_EQ(UnpackDigits(DottedCode("1234567.2")), "45670002");  // last digits kept
  EXPECT_EQ(UnpackDigits(DottedCode("12.  ")), "0012");          // trailing blank group
  EXPECT_EQ(DottedCode(""), "");
}

}  // namespace
}  // namespace format
