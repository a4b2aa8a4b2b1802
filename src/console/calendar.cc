// The calendar pop-up: a framed window on the right of the screen holding
// the three months of one quarter, six week rows each, Monday first.  The
// quarter is drawn again only when the highlight leaves it (or the year
// changes); otherwise a move only repaints the old and the new day.
#include "console/calendar.h"

#include <algorithm>
#include <string>

#include "config/in_language.h"
#include "config/session_settings.h"
#include "console/keyboard.h"
#include "console/popup_frame.h"
#include "console/window.h"
#include "format/dates.h"
#include "format/long_dates.h"
#include "format/packed.h"
#include "format/text.h"
#include "platform/clock.h"
#include "terminal/cell_buffer.h"

namespace console {
namespace {

constexpr int kTop = 1, kLeft = 59, kBottom = 24, kRight = 80;
constexpr int kFirstYear = 1, kLastYear = 9999;
constexpr int kAltF = 0x2100, kPageUp = 0x4900, kPageDown = 0x5100;
constexpr char kCalendarKeys[] = "4d00,4b00,5000,4800,5100,4900,4700,4f00,2100,1b";

struct Position {
  int year = 0;
  int month = 0;
  int day = 0;
};

bool IsLeap(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int MonthLength(int year, int month) {
  const int length = 30 + ((1 + (month + 1) % 9) % 2);
  return month == 2 ? length - (2 - (IsLeap(year) ? 1 : 0)) : length;
}

int FirstMonthOfQuarter(int month) {
  return ((month - 1) / 3) * 3 + 1;
}

std::string PackedDate(int year, int month, int day) {
  return format::PackDigits(format::ZeroPad(year * 10000.0 + month * 100 + day, 8));
}

int DigitsValue(const std::string& digits) {
  int value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

// The working date, or today when it does not name a real day.
Position StartPosition() {
  const std::string& date = config::Settings().WorkingDate;
  if (date.size() == 4) {
    const Position p{DigitsValue(format::UnpackDigits(date.substr(0, 2))),
                     DigitsValue(format::UnpackDigits(date.substr(2, 1))),
                     DigitsValue(format::UnpackDigits(date.substr(3, 1)))};
    if (p.year >= kFirstYear && p.month >= 1 && p.month <= 12 && p.day >= 1 &&
        p.day <= MonthLength(p.year, p.month)) {
      return p;
    }
  }
  const platform::DateTime today = platform::Today();
  return {today.year, today.month, today.day};
}

void Put(int row, int column, std::string_view text) {
  WindowLocate(row, column);
  terminal::WriteText(text);
}

int InteriorWidth() {
  return WindowLastColumn() - WindowFirstColumn() + 1;
}

std::string WeekdayHeader() {
  return config::InLanguage("DL DT DC DJ DV DS DG", " L  M  X  J  V  S  D", " L  M  X  J  V  S  D",
                            "DL DT DC DJ DD DS DG");
}

// Index 0..41 of the day's cell in its month's six-week grid.
int GridCell(int year, int month, int day) {
  return format::Weekday(PackedDate(year, month, 1)) + day - 2;
}

void PutDayCell(int quarterIndex, int cell, std::string_view text) {
  Put(7 * quarterIndex + 3 + cell / 7, 3 * (cell % 7) + 1, text);
}

std::string DayText(int day) {
  const std::string digits = std::to_string(day);
  return day < 10 ? " " + digits : digits;
}

void DrawMonth(int year, int month, int quarterIndex) {
  SetColour("n");
  const int row = 7 * quarterIndex + 2;
  Put(row, 1, std::string(InteriorWidth(), ' '));
  const std::string title =
      format::FoldText(format::FormatDate(PackedDate(year, month, 1), 2, "m"));
  Put(row, (InteriorWidth() - static_cast<int>(title.size())) / 2 + 1, title);
  SetColour("h");
  const int firstCell = GridCell(year, month, 1);
  const int length = MonthLength(year, month);
  for (int cell = 0; cell < 42; ++cell) {
    const int day = cell - firstCell + 1;
    PutDayCell(quarterIndex, cell, day >= 1 && day <= length ? DayText(day) : "  ");
  }
}

// The year on the top frame line, the weekday header and the quarter that
// holds the position's month.
void DrawQuarter(const Position& p) {
  SetColour("n");
  const std::string year = std::to_string(p.year);
  Put(0, (InteriorWidth() - 6) / 2 + 1, std::string(5 - year.size(), ' ') + year + " ");
  Put(1, 1, WeekdayHeader());
  const int first = FirstMonthOfQuarter(p.month);
  for (int k = 0; k < 3; ++k) DrawMonth(p.year, first + k, k);
}

void PutDay(const Position& p) {
  PutDayCell(p.month - FirstMonthOfQuarter(p.month), GridCell(p.year, p.month, p.day),
             DayText(p.day));
}

// Moves by a number of days, at most a week either way.
Position MoveDays(Position p, int days) {
  p.day += days;
  if (p.day < 1) {
    if (--p.month < 1) {
      p.month = 12;
      --p.year;
    }
    p.day += MonthLength(p.year, p.month);
  }
  if (p.day > MonthLength(p.year, p.month)) {
    p.day -= MonthLength(p.year, p.month);
    if (++p.month > 12) {
      p.month = 1;
      ++p.year;
    }
  }
  return p;
}

Position MoveQuarter(Position p, int months) {
  p.month += months;
  if (p.month < 1) {
    p.month += 12;
    --p.year;
  } else if (p.month > 12) {
    p.month -= 12;
    ++p.year;
  }
  if (p.year >= kFirstYear && p.year <= kLastYear) {
    p.day = std::min(p.day, MonthLength(p.year, p.month));
  }
  return p;
}

// The position a navigation key leads to; the same position for any other key.
Position Navigate(const Position& p, int key) {
  switch (key) {
    case kKeyRight:
      return MoveDays(p, 1);
    case kKeyLeft:
      return MoveDays(p, -1);
    case kKeyDown:
      return MoveDays(p, 7);
    case kKeyUp:
      return MoveDays(p, -7);
    case kPageDown:
      return MoveQuarter(p, 3);
    case kPageUp:
      return MoveQuarter(p, -3);
    case kKeyHome:
      return {p.year, 1, p.day};
    case kKeyEnd:
      return {p.year, 12, p.day};
    default:
      return p;
  }
}

// The key loop; returns the chosen date's text, or the empty text.
std::string RunCalendar(Position p) {
  DrawQuarter(p);
  for (;;) {
    SetColour("+u");
    PutDay(p);
    int key = 0;
    WaitKey(key);
    SetColour("-");
    PutDay(p);
    if (key == 'F' || key == 'f' || key == kAltF) {
      return format::FormatDate(PackedDate(p.year, p.month, p.day), 0, "dma");
    }
    if (key == kKeyEscape) return {};
    const Position next = Navigate(p, key);
    if (next.year < kFirstYear || next.year > kLastYear) continue;
    const bool newQuarter =
        next.year != p.year || FirstMonthOfQuarter(next.month) != FirstMonthOfQuarter(p.month);
    p = next;
    if (newQuarter) DrawQuarter(p);
  }
}

}  // namespace

std::string ShowCalendar() {
  const CallerExitKeys exitKeys("ea", kCalendarKeys);
  const bool cursorWasVisible = terminal::CursorVisible();
  SetColour("+n");
  terminal::ShowCursor(false);
  std::string result;
  if (OpenPopUpWindow(kTop, kLeft, kBottom, kRight)) {
    DrawFrame(1);
    result = RunCalendar(StartPosition());
    CloseWindow();
  }
  terminal::ShowCursor(cursorWasVisible);
  SetColour("-");
  return result;
}

}  // namespace console
