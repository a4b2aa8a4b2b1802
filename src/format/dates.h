// Calendar dates: packed dates, the digits shown for them, dates as the
// operator types them, and calendar arithmetic.
//
// A packed date is the packed form (format/packed.h) of the eight digits
// year, month, day: four bytes in chronological byte order.  Four bytes 0x80
// are the empty date.  A packed date of another length is read from its end:
// the last byte is the day, the one before it the month, the rest the year.
//
// The calendar is the Julian one before the reform of October 1582 and the
// Gregorian one from then on.  The current year (the two-digit year window)
// comes from platform::Today().
#pragma once

#include <string>
#include <string_view>

namespace format {

// The empty date: the packed form of "00000000".
std::string EmptyDate();

// Display digits DDMMYY when the year lies within the current year -50..+49,
// DDMMYYYY otherwise; the empty text when day and month are both 0.
std::string DateDigits(std::string_view packed);

// A typed date: "5/1/24", "05.01.24", "5-1-2024" (".", "/" or "-" between
// day, month and year), or by position without separators ("050124",
// "0501").  A year of up to three digits is placed in the window of the
// current year -50..+49 when day and month are not 0.  Only the syntax is
// checked; any syntax error or a number too large gives EmptyDate().
std::string ParseDate(std::string_view typed);

// True when the typed text is not a valid calendar date: a syntax error as
// for ParseDate, a month outside 1..12, a day outside the month (Gregorian
// leap years for every year), or one of the days 5 to 14 October 1582.  A
// short year is placed within the current year +-50.  The day, month and
// year read stay in Formats().LastDay, LastMonth, LastYear (all 0 after a
// syntax error).
bool IsInvalidDate(std::string_view typed);

// The distance between two packed dates, whichever comes first, in the unit
// "D" (days), "M" (months, days ignored) or "A" (completed years); the unit
// is one letter of either case.  Any other unit gives 0.  Day counts are
// proleptic across October 1582.
long long DateDifference(std::string_view a, std::string_view b, std::string_view unit);

// The month of a packed date: the value of its second-last byte (0 for the
// empty date or a text too short to hold one).
int MonthOf(std::string_view packed);

// Day of the week, 1 (Monday) to 7 (Sunday).
int Weekday(std::string_view packed);

}  // namespace format
