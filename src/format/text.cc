// Case folds, padding, starred names, the text stack and the paragraph
// formatter.
#include "format/text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/program_state.h"

namespace format {
namespace {

using FoldTable = std::array<unsigned char, 256>;

FoldTable IdentityTable() {
  FoldTable t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
  return t;
}

// Lower-case code page 850 letters and their capitals.
constexpr unsigned char kAccentedPairs[][2] = {
    {0x81, 0x9A}, {0x82, 0x90}, {0x83, 0xB6}, {0x84, 0x8E}, {0x85, 0xB7},
    {0x86, 0x8F}, {0x87, 0x80}, {0x88, 0xD2}, {0x89, 0xD3}, {0x8A, 0xD4},
    {0x8B, 0xD8}, {0x8C, 0xD7}, {0x8D, 0xDE}, {0x91, 0x92}, {0x93, 0xE2},
    {0x94, 0x99}, {0x95, 0xE3}, {0x96, 0xEA}, {0x97, 0xEB}, {0xA0, 0xB5},
    {0xA1, 0xD6}, {0xA2, 0xE0}, {0xA3, 0xE9}, {0xA4, 0xA5}, {0xC6, 0xC7},
    {0xD0, 0xD1}, {0xE4, 0xE5}, {0xEC, 0xED},
};

FoldTable KeepAccentsTable() {
  FoldTable t = IdentityTable();
  for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 32);
  for (const auto& p : kAccentedPairs) t[p[0]] = p[1];
  return t;
}

struct StripGroup {
  char letter;
  const char* bytes;
};
// Code page 850 letters and the plain capital each one strips to.
constexpr StripGroup kStripGroups[] = {
    {'A', "\x83\x84\x85\x86\x8E\x8F\x91\x92\xA0\xA6\xB5\xB6\xB7\xC6\xC7"},
    {'C', "\x80\x87"},
    {'D', "\xD0\xD1"},
    {'E', "\x82\x88\x89\x8A\x90\xD2\xD3\xD4\xD5"},
    {'I', "\x8B\x8C\x8D\xA1\xD6\xD7\xD8\xDE"},
    {'N', "\xA4\xA5"},
    {'O', "\x93\x94\x95\x99\x9B\x9D\xA2\xA7\xE0\xE2\xE3\xE4\xE5"},
    {'S', "\xE1"},
    {'T', "\xE7\xE8"},
    {'U', "\x81\x96\x97\x9A\xA3\xE9\xEA\xEB"},
    {'Y', "\x98\xEC\xED"},
};

FoldTable StripAccentsTable() {
  FoldTable t = IdentityTable();
  for (int c = 64; c <= 237; ++c) t[c] = ' ';
  for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<unsigned char>(c);
  for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 32);
  for (const auto& g : kStripGroups) {
    for (const char* b = g.bytes; *b != 0; ++b) {
      t[static_cast<unsigned char>(*b)] = static_cast<unsigned char>(g.letter);
    }
  }
  return t;
}

std::string ApplyTable(std::string_view text, const FoldTable& table) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
  return out;
}

bool IsControl(char c) { return static_cast<unsigned char>(c) < 32; }

}  // namespace

TextState& Texts() {
  static TextState state;
  return state;
}

namespace {
[[maybe_unused]] const bool registered = platform::RegisterStateReset(
    platform::Layer::kFormat, "format::Texts", [] { Texts() = TextState{}; });
}  // namespace

std::string UpperCase(std::string_view text) {
  static const FoldTable table = [] {
    FoldTable t = IdentityTable();
    for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 32);
    t[0x84] = 0x8E; t[0x94] = 0x99; t[0x81] = 0x9A; t[0x82] = 0x90;
    t[0xA4] = 0xA5; t[0x86] = 0x8F; t[0x87] = 0x80;
    return t;
  }();
  return ApplyTable(text, table);
}

std::string FoldText(std::string_view text) {
  static const FoldTable keep = KeepAccentsTable();
  static const FoldTable strip = StripAccentsTable();
  return ApplyTable(text, Texts().accentStripping ? strip : keep);
}

std::string ZeroPad(double value, int width) {
  if (width <= 0) return {};
  double v = std::fabs(value);
  char digits[64];
  if (!std::isfinite(v)) {
    digits[0] = '0';
    digits[1] = 0;
  } else if (v == std::floor(v) && v < 1e18) {
    std::snprintf(digits, sizeof digits, "%llu", static_cast<unsigned long long>(v));
  } else {
    std::snprintf(digits, sizeof digits, "%.15g", v);
  }
  std::string s = std::string(static_cast<size_t>(width), '0') + digits;
  return s.substr(s.size() - static_cast<size_t>(width));
}

bool IsAllChar(std::string_view text, unsigned char code) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) != code) return false;
  }
  return true;
}

std::string Choose(int flag, std::string_view a, std::string_view b) {
  return std::string(flag != 0 ? a : b);
}

double NumericValue(std::string_view text) {
  std::string t = TrimLeft(text);
  size_t i = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
  bool point = false;
  while (i < t.size() && ((t[i] >= '0' && t[i] <= '9') || (t[i] == '.' && !point))) {
    point = point || t[i] == '.';
    ++i;
  }
  double value = std::strtod(t.substr(0, i).c_str(), nullptr);
  return std::isfinite(value) ? value : 0.0;
}

std::string FitLeft(std::string_view text, std::size_t width) {
  std::string out(text.substr(0, width));
  out.resize(width, ' ');
  return out;
}

std::string Trim(std::string_view text) { return TrimLeft(TrimRight(text)); }

std::string TrimRight(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && text[end - 1] == ' ') --end;
  return std::string(text.substr(0, end));
}

std::string TrimLeft(std::string_view text) {
  size_t start = 0;
  while (start < text.size() && text[start] == ' ') ++start;
  return std::string(text.substr(start));
}

std::string StarredDisplay(std::string_view name) {
  size_t star = name.find('*');
  if (star == std::string_view::npos || star == 0) return Trim(name);
  std::string tail = Trim(name.substr(0, star));
  std::string head = Trim(name.substr(star + 1));
  bool joined = !head.empty() && head.back() == '\'';
  return head + (joined ? "" : " ") + tail;
}

void PushText(std::string_view text) {
  std::string& stack = Texts().textStack;
  // Entries longer than the 2-byte length can say are cut to fit it.
  std::string_view entry = text.substr(0, 0xFFFF);
  stack.append(entry);
  stack.push_back(static_cast<char>(entry.size() & 0xFF));
  stack.push_back(static_cast<char>(entry.size() >> 8));
}

std::string PopText() {
  std::string& stack = Texts().textStack;
  if (stack.size() < 2) {
    stack.clear();
    return {};
  }
  size_t n = static_cast<unsigned char>(stack[stack.size() - 2]) |
             (static_cast<size_t>(static_cast<unsigned char>(stack.back())) << 8);
  size_t body = stack.size() - 2;
  if (n > body) n = body;
  std::string result = stack.substr(body - n, n);
  stack.resize(body - n);
  return result;
}

std::string BufferText(const void* area, std::size_t length) {
  return std::string(static_cast<const char*>(area), length);
}

void WrapParagraph(std::string& text, int indent, int width, std::string_view /*mode*/) {
  std::string result;
  const size_t n = text.size();
  size_t pos = 0;
  bool first = true;
  while (pos < n) {
    int indentNow = first ? (indent > 0 ? indent : 0) : (indent < 0 ? -indent : 0);
    int usable = width - indentNow;
    if (usable < 1) usable = 1;
    // Take up to usable visible characters; control bytes ride along.
    size_t cut = pos;
    int visible = 0;
    while (cut < n && (visible < usable || IsControl(text[cut]))) {
      if (!IsControl(text[cut])) ++visible;
      ++cut;
    }
    // A word that does not end here moves back to the piece's last space,
    // even its first one (the line then keeps only the space); a piece
    // without a space is one word longer than the line, cut where it is.
    if (cut < n && text[cut] != ' ') {
      size_t space = text.rfind(' ', cut - 1);
      if (space != std::string::npos && space >= pos) cut = space;
    }
    std::string piece = text.substr(pos, cut - pos);
    int controls = 0;
    for (char c : piece) controls += IsControl(c) ? 1 : 0;
    std::string line = std::string(static_cast<size_t>(indentNow), ' ') + piece;
    size_t full = static_cast<size_t>(std::max(width, 0) + controls);
    if (line.size() < full) line.append(full - line.size(), ' ');
    result += line;
    pos = cut;
    while (pos < n && text[pos] == ' ') ++pos;
    first = false;
  }
  text = result;
}

}  // namespace format
