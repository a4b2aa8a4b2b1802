// Code page 850 to the SEPA character set, through the Unicode glyph of
// each byte.
#include "remittance/sepa_text.h"

#include "platform/cp850.h"

namespace remittance {
namespace {

bool InSepaSet(char32_t c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::u32string_view(U" /-?:().,'+").find(c) != std::u32string_view::npos;
}

// U+00C0 to U+00FF without their marks; "" where there is no letter.
constexpr const char* kLatin1Letters[64] = {
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I",  "I",
    "D", "N", "O", "O", "O", "O", "O",  "",  "O", "U", "U", "U", "U", "Y", "TH", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y"};

// What one character becomes: itself, a plain-letter form, or a space.
std::string Plain(char32_t c) {
  if (InSepaSet(c)) return std::string(1, static_cast<char>(c));
  if (c >= 0xC0 && c <= 0xFF) {
    const char* letters = kLatin1Letters[c - 0xC0];
    return *letters != 0 ? letters : " ";
  }
  switch (c) {
    case 0xB7:
      return ".";  // l·l
    case 0xAA:
      return "a";
    case 0xBA:
      return "o";
    case 0xBF:
      return "?";
    case 0x131:
      return "i";
    case 0x192:
      return "f";
    default:
      return " ";
  }
}

}  // namespace

std::string SepaText(std::string_view cp850, std::size_t maxLength) {
  std::string out;
  for (unsigned char byte : cp850) {
    for (char c : Plain(platform::Cp850Glyph(byte))) {
      if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
      out += c;
    }
  }
  if (out.size() > maxLength) out.resize(maxLength);
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace remittance
