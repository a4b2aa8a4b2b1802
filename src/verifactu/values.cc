// Formatting of the records' values.
#include "verifactu/values.h"

#include <cstdio>

#include "format/text.h"
#include "platform/cp850.h"

namespace verifactu {

std::string DecimalText(long long hundredths) {
  // Unsigned magnitude, so that the most negative value has one too.
  const bool negative = hundredths < 0;
  const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(hundredths)
                                                : static_cast<unsigned long long>(hundredths);
  char text[32];
  std::snprintf(text, sizeof text, "%s%llu.%02llu", negative ? "-" : "", magnitude / 100,
                magnitude % 100);
  return text;
}

std::string DateText(const platform::DateTime& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d-%02d-%04d", date.day, date.month, date.year);
  return text;
}

std::string GenerationTime(std::time_t when) {
  std::tm local{};
  if (localtime_r(&when, &local) == nullptr) return {};
  const long offset = local.tm_gmtoff;
  const long minutes = (offset < 0 ? -offset : offset) / 60;
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld",
                local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                local.tm_sec, offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
  return text;
}

std::string RecordText(std::string_view text, std::size_t maxLength) {
  const std::string trimmed = format::Trim(text);
  return platform::Cp850ToUtf8(format::TrimRight(std::string_view(trimmed).substr(0, maxLength)));
}

}  // namespace verifactu
