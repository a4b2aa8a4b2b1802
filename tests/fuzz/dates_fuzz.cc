// Any bytes as a typed date, a dotted code and a packed date: the date
// functions must return without crashing, hanging or overflowing.
#include <cstdint>
#include <string>

#include "format/dates.h"
#include "format/long_dates.h"
#include "format/packed.h"
#include "platform/clock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::FixToday({2026, 6, 15, 12, 0, 0});
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string parsed = format::ParseDate(text);
  format::IsInvalidDate(text);
  const std::string code = format::DottedCode(text);
  if (format::UnpackDigits(code).size() != code.size() * 2) __builtin_trap();
  format::DateDigits(text);
  format::Weekday(text);
  format::DateDifference(text, parsed, "D");
  format::DateDifference(parsed, text, "a");
  format::FormatDate(text, static_cast<int>(size % 5) - 1, "dma");
  if (parsed.size() != 4) __builtin_trap();
  return 0;
}
