// Calendar arithmetic over packed dates: differences and weekdays.
#include <algorithm>
#include <tuple>

#include "format/date_parts.h"
#include "format/dates.h"
#include "format/packed.h"
#include "format/text.h"

namespace format {
namespace internal {

DateParts SplitPackedDate(std::string_view packed) {
  const std::string digits = UnpackDigits(packed);
  DateParts parts;
  const size_t n = digits.size();
  if (n >= 2) parts.day = std::stoll(digits.substr(n - 2));
  if (n >= 4) parts.month = std::stoll(digits.substr(n - 4, 2));
  if (n > 4) {
    const size_t yearDigits = std::min<size_t>(n - 4, 9);
    parts.year = std::stoll(digits.substr(n - 4 - yearDigits, yearDigits));
  }
  return parts;
}

bool IsLeapYear(long long year) {
  if (year < 1582) return year % 4 == 0;
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int MonthLength(long long month, bool leap) {
  int length = 30 + static_cast<int>((1 + (month + 1) % 9) % 2);
  if (month == 2) length -= leap ? 1 : 2;
  return length;
}

}  // namespace internal

namespace {

using internal::DateParts;

// Leap years in [0, year), Julian rule below 1582 and Gregorian from it.
long long LeapYearsBefore(long long year) {
  const long long julianEnd = std::min(year, 1582LL);
  long long count = (julianEnd + 3) / 4;
  if (year > 1582) {
    auto gregorian = [](long long n) { return (n + 3) / 4 - (n + 99) / 100 + (n + 399) / 400; };
    count += gregorian(year) - gregorian(1582);
  }
  return count;
}

// Days of the months from..to (inclusive) of one year; none when from > to.
long long MonthDays(long long year, long long from, long long to) {
  const bool leap = internal::IsLeapYear(year);
  long long days = 0;
  for (long long m = from; m <= to; ++m) days += internal::MonthLength(m, leap);
  return days;
}

long long DayDifference(const DateParts& a, const DateParts& b) {
  long long days;
  if (a.year == b.year) {
    days = MonthDays(a.year, a.month, b.month - 1);
  } else {
    const long long wholeYears = b.year - a.year - 1;
    days = 365 * wholeYears + LeapYearsBefore(b.year) - LeapYearsBefore(a.year + 1) +
           MonthDays(a.year, a.month, 12) + MonthDays(b.year, 1, b.month - 1);
  }
  return std::max(0LL, days - a.day + b.day);
}

long long PositiveModulo(long long value, long long modulus) {
  return ((value % modulus) + modulus) % modulus;
}

}  // namespace

long long DateDifference(std::string_view a, std::string_view b, std::string_view unit) {
  DateParts first = internal::SplitPackedDate(a);
  DateParts second = internal::SplitPackedDate(b);
  if (std::tie(first.year, first.month, first.day) >
      std::tie(second.year, second.month, second.day)) {
    std::swap(first, second);
  }
  const std::string letter = UpperCase(unit);
  if (letter == "D") return DayDifference(first, second);
  if (letter == "M") return 12 * (second.year - first.year) + second.month - first.month;
  if (letter == "A") {
    const bool incomplete =
        first.month > second.month || (first.month == second.month && first.day > second.day);
    return second.year - first.year - (incomplete ? 1 : 0);
  }
  return 0;
}

int MonthOf(std::string_view packed) {
  return static_cast<int>(internal::SplitPackedDate(packed).month);
}

int Weekday(std::string_view packed) {
  const DateParts date = internal::SplitPackedDate(packed);
  const long long y = date.year - 1;
  const long long n = DayDifference(DateParts{date.year, 1, 1}, date);
  long long base;
  if (std::string(packed) < PackDigits("15821005")) {
    base = PositiveModulo(y + y / 4, 7) + 6;
  } else {
    base = PositiveModulo(y + y / 4 - y / 100 + y / 400, 7) + 1;
  }
  return static_cast<int>(PositiveModulo(base + n - 1, 7)) + 1;
}

}  // namespace format
