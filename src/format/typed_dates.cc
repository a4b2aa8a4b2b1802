// Dates as the operator types them and as they are shown: ParseDate,
// IsInvalidDate, DateDigits.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "format/date_parts.h"
#include "format/dates.h"
#include "format/format_settings.h"
#include "format/packed.h"
#include "format/text.h"
#include "platform/clock.h"

namespace format {
namespace {

struct TypedDate {
  long long day = 0;
  long long month = 0;
  long long year = 0;
  bool shortYear = false;  // three digits or fewer: the century is to be chosen
};

// The number of a field of digits and spaces (spaces are skipped); nothing
// when it does not fit a 32-bit integer.
std::optional<long long> FieldNumber(std::string_view field) {
  long long value = 0;
  for (char c : field) {
    if (c == ' ') continue;
    value = value * 10 + (c - '0');
    if (value > INT32_MAX) return std::nullopt;
  }
  return value;
}

// Splits a typed date into day, month and year: with two of ".", "/", "-"
// between them, or by position (2 + 2 + rest) without separators.
std::optional<TypedDate> ReadTypedDate(std::string_view typed) {
  std::string field, dayText, monthText, yearText;
  int separators = 0;
  for (char c : typed) {
    if ((c >= '0' && c <= '9') || c == ' ') {
      field.push_back(c);
    } else if (c == '.' || c == '/' || c == '-') {
      if (++separators == 3) return std::nullopt;
      (separators == 1 ? dayText : monthText) = field;
      field.clear();
    } else {
      return std::nullopt;
    }
  }
  if (separators == 0) {
    dayText = field.substr(0, 2);
    monthText = field.substr(std::min<size_t>(2, field.size()), 2);
    yearText = field.substr(std::min<size_t>(4, field.size()));
  } else if (separators == 2) {
    yearText = field;
  } else {
    return std::nullopt;
  }
  auto day = FieldNumber(dayText), month = FieldNumber(monthText), year = FieldNumber(yearText);
  if (!day || !month || !year) return std::nullopt;
  return TypedDate{*day, *month, *year, Trim(yearText).size() <= 3};
}

long long CurrentYear() {
  return platform::Today().year;
}

std::string Digits(long long value, int width) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%0*lld", width, value);
  return buffer;
}

}  // namespace

std::string EmptyDate() {
  return PackDigits("00000000");
}

std::string DateDigits(std::string_view packed) {
  const internal::DateParts date = internal::SplitPackedDate(packed);
  if (date.day == 0 && date.month == 0) return {};
  const long long current = CurrentYear();
  const bool inWindow = date.year >= current - 50 && date.year <= current + 49;
  return Digits(date.day, 2) + Digits(date.month, 2) +
         (inWindow ? Digits(date.year % 100, 2) : Digits(date.year, 4));
}

std::string ParseDate(std::string_view typed) {
  std::optional<TypedDate> date = ReadTypedDate(typed);
  if (!date) return EmptyDate();
  if (date->day > 0 && date->month > 0 && date->shortYear) {
    const long long current = CurrentYear();
    date->year += 100 * (current / 100);
    if (date->year > current + 49) {
      date->year -= 100;
    } else if (date->year < current - 50) {
      date->year += 100;
    }
  }
  return PackDigits(Digits(date->year % 10000, 4) + Digits(date->month % 100, 2) +
                    Digits(date->day % 100, 2));
}

bool IsInvalidDate(std::string_view typed) {
  std::optional<TypedDate> read = ReadTypedDate(typed);
  TypedDate date = read.value_or(TypedDate{});
  if (read && date.shortYear && date.year < 100) {
    const long long current = CurrentYear();
    date.year += 100 * (current / 100);
    if (date.year - current > 50) date.year -= 100;
    if (current - date.year > 50) date.year += 100;
  }
  FormatSettings& state = Formats();
  state.LastDay = date.day;
  state.LastMonth = date.month;
  state.LastYear = date.year;
  if (!read) return true;

  const long long stamp = date.year * 10000 + date.month * 100 + date.day;
  if (stamp > 15821004 && stamp < 15821015) return true;
  if (date.month < 1 || date.month > 12) return true;
  const bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
  return date.day < 1 || date.day > internal::MonthLength(date.month, leap);
}

}  // namespace format
