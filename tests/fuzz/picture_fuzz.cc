// A mask and a value from any bytes (the first eight bytes are the double,
// NaN and infinities included): FormatPicture must return a text as long as
// the mask; FormatAmount, PlainNumber and CheckNumberEntry must not crash.
#include <cstdint>
#include <cstring>
#include <string>

#include "format/amounts.h"
#include "format/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < sizeof(double)) return 0;
  double value;
  std::memcpy(&value, data, sizeof value);
  const std::string mask(reinterpret_cast<const char*>(data) + sizeof value, size - sizeof value);
  if (format::FormatPicture(mask, value).size() != mask.size()) __builtin_trap();
  if (format::FormatAmount(mask, value).size() != mask.size()) __builtin_trap();
  format::PlainNumber(value);
  format::CheckNumberEntry(mask, mask);
  return 0;
}
