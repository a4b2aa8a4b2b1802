// Internal to the date code: a packed date split into numbers, and the
// month and year lengths of the calendar.
#pragma once

#include <string_view>

namespace format::internal {

struct DateParts {
  long long year = 0;
  long long month = 0;
  long long day = 0;
};

// Last byte the day, the one before the month, the rest the year (of which
// only the last nine digits count, so no length of input can overflow).
DateParts SplitPackedDate(std::string_view packed);

// Julian rule before 1582, Gregorian from 1582 on.
bool IsLeapYear(long long year);
// 31 or 30 by the month's place, February 28 or 29 (leap as IsLeapYear).
int MonthLength(long long month, bool leap);

}  // namespace format::internal
