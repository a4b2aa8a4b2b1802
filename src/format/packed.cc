// Packing and unpacking of digit texts, and dotted codes.
#include "format/packed.h"

#include <algorithm>

#include "format/text.h"

namespace format {
namespace {

int DigitValue(char c) {
  return c >= '0' && c <= '9' ? c - '0' : 0;
}

// The number a group of a dotted code holds, as decimal digits without
// leading zeros: spaces are skipped and reading stops at any other
// non-digit.  Kept as text so that no length of group can overflow.
std::string GroupNumber(std::string_view group) {
  std::string digits;
  for (char c : group) {
    if (c == ' ') continue;
    if (c < '0' || c > '9') break;
    if (digits.empty() && c == '0') continue;
    digits.push_back(c);
  }
  return digits;
}

std::string ZeroFill(const std::string& digits, size_t width) {
  if (digits.size() >= width) return digits.substr(digits.size() - width);
  return std::string(width - digits.size(), '0') + digits;
}

}  // namespace

std::string PackDigits(std::string_view digits) {
  const size_t n = digits.size();
  std::string s = std::string(n, '0') + Trim(digits);
  s = s.substr(s.size() - n);
  std::string packed;
  packed.reserve((n + 1) / 2);
  for (size_t i = 0; i < n; i += 2) {
    int first = DigitValue(s[i]);
    int second = i + 1 < n ? DigitValue(s[i + 1]) : 0;
    packed.push_back(static_cast<char>(128 + 10 * first + second));
  }
  return packed;
}

std::string UnpackDigits(std::string_view packed) {
  std::string digits;
  digits.reserve(packed.size() * 2);
  for (unsigned char byte : packed) {
    int value = (byte & 127) % 100;
    digits.push_back(static_cast<char>('0' + value / 10));
    digits.push_back(static_cast<char>('0' + value % 10));
  }
  return digits;
}

std::string DottedCode(std::string_view code) {
  const size_t dots = std::count(code.begin(), code.end(), '.');
  const bool wideFirst = (code.size() == 6 && dots == 0) || (code.size() == 11 && dots < 2);
  std::string digits;
  size_t start = 0;
  bool first = true;
  while (start <= code.size()) {
    size_t end = std::min(code.find('.', start), code.size());
    std::string_view group = code.substr(start, end - start);
    const bool last = end == code.size();
    if (last && Trim(group).empty()) break;
    digits += ZeroFill(GroupNumber(group), first && wideFirst ? 6 : 4);
    first = false;
    start = end + 1;
  }
  return PackDigits(digits);
}

}  // namespace format
